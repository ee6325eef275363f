// qr_cli: decodes BMP files with the vantaro QR decoder and prints one JSON object per file.
//   qr_cli [--reps N] FILE...
// "ms" is the median wall time of reading the BMP from memory plus decoding, "decode_ms" the decoding alone,
// "cpu_ms" the median process CPU time of reading plus decoding (steadier on a loaded machine).
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "qr/bmp.h"
#include "qr/decoder.h"

namespace {

std::string JsonString(const std::string& s) {
  std::string o = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      o += '\\';
      o += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      o += buf;
    } else {
      o += static_cast<char>(c);
    }
  }
  return o + "\"";
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int reps = 1;
  int first = 1;
  if (argc > 2 && std::strcmp(argv[1], "--reps") == 0) {
    reps = std::max(1, std::atoi(argv[2]));
    first = 3;
  }
  using Clock = std::chrono::steady_clock;
  for (int a = first; a < argc; ++a) {
    std::ifstream f(argv[a], std::ios::binary);
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::vector<vantaro::qr::Symbol> syms;
    std::vector<double> total, dec, cpu;
    vantaro::qr::DecodeStatus st = vantaro::qr::DecodeStatus::Ok;
    for (int r = 0; r < reps; ++r) {
      const std::clock_t c0 = std::clock();
      const auto t0 = Clock::now();
      vantaro::qr::GrayImage img;
      const vantaro::qr::BmpStatus bs = vantaro::qr::ReadBmp(data.data(), data.size(), img);
      const auto t1 = Clock::now();
      if (bs != vantaro::qr::BmpStatus::Ok) {
        st = vantaro::qr::DecodeStatus::NotReadable;
        syms.clear();
      } else {
        syms = vantaro::qr::DecodeImage(img);
      }
      const auto t2 = Clock::now();
      cpu.push_back(1000.0 * static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC);
      total.push_back(std::chrono::duration<double, std::milli>(t2 - t0).count());
      dec.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
    }
    std::string o = "{\"file\":" + JsonString(argv[a]) + ",\"status\":" +
                    (st == vantaro::qr::DecodeStatus::Ok ? "\"ok\"" : "\"unreadable\"");
    char buf[128];
    std::snprintf(buf, sizeof buf, ",\"ms\":%.4f,\"decode_ms\":%.4f,\"cpu_ms\":%.4f,\"symbols\":[", Median(total),
                  Median(dec), Median(cpu));
    o += buf;
    for (size_t i = 0; i < syms.size(); ++i) {
      const auto& s = syms[i];
      std::snprintf(buf, sizeof buf, "%s{\"version\":%d,\"level\":%d,\"mirrored\":%s,", i ? "," : "", s.version,
                    s.level, s.mirrored ? "true" : "false");
      o += buf;
      o += "\"text\":" + JsonString(s.text);
      if (s.has_structured_append) {
        std::snprintf(buf, sizeof buf, ",\"sa\":{\"total\":%d,\"position\":%d,\"parity\":%d}", s.sa_total,
                      s.sa_position, s.sa_parity);
        o += buf;
      }
      o += ",\"corners\":[";
      for (int k = 0; k < 4; ++k) {
        std::snprintf(buf, sizeof buf, "%s%.1f,%.1f", k ? "," : "", s.corners[k].x, s.corners[k].y);
        o += buf;
      }
      o += "]}";
    }
    o += "]}";
    std::puts(o.c_str());
  }
  return 0;
}
