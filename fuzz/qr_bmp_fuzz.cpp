// libFuzzer target: any bytes are a candidate BMP file for the QR decoder. Whatever it returns, every reported
// symbol must be well formed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "qr/decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<vantaro::qr::Symbol> out;
  const vantaro::qr::DecodeStatus st = vantaro::qr::DecodeBmp(data, size, out);
  if (st != vantaro::qr::DecodeStatus::Ok && !out.empty()) std::abort();
  for (const vantaro::qr::Symbol& s : out) {
    if (s.version < 1 || s.version > 40 || s.level < 0 || s.level > 3) std::abort();
    if (s.has_structured_append && (s.sa_total < 1 || s.sa_position >= s.sa_total)) std::abort();
  }
  return 0;
}
