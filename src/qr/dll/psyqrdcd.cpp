// PsyQrDcd.dll over the portable decoder: file access through the ANSI Windows API, results kept per process.
#define PSYQRDCD_BUILD
#include "qr/dll/psyqrdcd.h"

#include <windows.h>

#include <cmath>
#include <mutex>
#include <new>
#include <vector>

#include "qr/decoder.h"

namespace {

std::mutex g_lock;
std::vector<vantaro::qr::Symbol> g_results;

// Files beyond this cannot hold a BMP within the decoder's dimension cap.
constexpr LONGLONG kMaxFileBytes = 300LL * 1024 * 1024;

const vantaro::qr::Symbol* At(int i) {
  if (i < 0 || static_cast<size_t>(i) >= g_results.size()) return nullptr;
  return &g_results[static_cast<size_t>(i)];
}

int OpenError(DWORD e) {
  switch (e) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return -1;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return -4;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return -5;
    default:
      return -2;
  }
}

int DecodeFile(const char* path) {
  g_results.clear();
  if (!path || !*path) return -1;
  HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return OpenError(GetLastError());
  LARGE_INTEGER size;
  if (!GetFileSizeEx(f, &size)) {
    CloseHandle(f);
    return -2;
  }
  if (size.QuadPart > kMaxFileBytes) {
    CloseHandle(f);
    return -3;
  }
  std::vector<uint8_t> data;
  try {
    data.resize(static_cast<size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    CloseHandle(f);
    return -5;
  }
  size_t got = 0;
  while (got < data.size()) {
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(data.size() - got, 1u << 24));
    if (!ReadFile(f, data.data() + got, want, &n, nullptr)) {
      const DWORD e = GetLastError();
      CloseHandle(f);
      return e == ERROR_LOCK_VIOLATION ? -4 : -2;
    }
    if (n == 0) break;  // the file shrank while reading
    got += n;
  }
  CloseHandle(f);
  if (got != data.size()) return -2;
  std::vector<vantaro::qr::Symbol> found;
  switch (vantaro::qr::DecodeBmp(data.data(), data.size(), found)) {
    case vantaro::qr::DecodeStatus::NotReadable: return -3;
    case vantaro::qr::DecodeStatus::OutOfMemory: return -5;
    case vantaro::qr::DecodeStatus::Ok: break;
  }
  g_results = std::move(found);
  return static_cast<int>(g_results.size());
}

}  // namespace

PSYQRDCD_API int __stdcall DecodePictureFile(const char* path) {
  std::lock_guard<std::mutex> hold(g_lock);
  try {
    return DecodeFile(path);
  } catch (const std::bad_alloc&) {
    g_results.clear();
    return -5;
  } catch (...) {
    g_results.clear();
    return -3;
  }
}

PSYQRDCD_API int __stdcall GetDecodeVersion(int i) {
  std::lock_guard<std::mutex> hold(g_lock);
  const vantaro::qr::Symbol* s = At(i);
  return s ? s->version : 0;
}

PSYQRDCD_API int __stdcall GetDecodeLevel(int i) {
  std::lock_guard<std::mutex> hold(g_lock);
  const vantaro::qr::Symbol* s = At(i);
  return s ? s->level : 0;
}

PSYQRDCD_API int __stdcall GetConcatenationInfo(int i, int* position, int* parity) {
  std::lock_guard<std::mutex> hold(g_lock);
  const vantaro::qr::Symbol* s = At(i);
  if (!s || !s->has_structured_append) return 0;
  if (position) *position = s->sa_position;
  if (parity) *parity = s->sa_parity;
  return s->sa_total;
}

PSYQRDCD_API const char* __stdcall GetDecodeDataString(int i) {
  std::lock_guard<std::mutex> hold(g_lock);
  const vantaro::qr::Symbol* s = At(i);
  return s ? s->text.c_str() : "";
}

PSYQRDCD_API int __stdcall GetSymbolePosition(int i, int* points) {
  std::lock_guard<std::mutex> hold(g_lock);
  const vantaro::qr::Symbol* s = At(i);
  if (!s || !points) return 0;
  auto pixel = [](float v) {
    if (!(v > -1e6f && v < 1e6f)) return 0;  // never for a decoded symbol; keeps the rounding defined
    return static_cast<int>(std::lround(v));
  };
  for (int k = 0; k < 4; ++k) {
    points[2 * k] = pixel(s->corners[k].x);
    points[2 * k + 1] = pixel(s->corners[k].y);
  }
  return 1;
}

PSYQRDCD_API int __stdcall FreeAllocateMemory(void) {
  std::lock_guard<std::mutex> hold(g_lock);
  g_results.clear();
  g_results.shrink_to_fit();
  return 1;
}
