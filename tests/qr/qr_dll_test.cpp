// PsyQrDcd.dll loaded the way its callers load it: LoadLibraryA by full path, GetProcAddress by plain name.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "qr_encoder.h"

namespace vantaro::qr {
namespace {

using DecodeFn = int(__stdcall*)(const char*);
using IntFn = int(__stdcall*)(int);
using ConcatFn = int(__stdcall*)(int, int*, int*);
using StringFn = const char*(__stdcall*)(int);
using PositionFn = int(__stdcall*)(int, int*);
using FreeFn = int(__stdcall*)(void);

const char kShareLink[] = "vantaro://MTkyLjAuMi4xOjgzODg6cGFzcw";

std::string DllPath() {
  std::string p = QR_DLL_PATH;
  if (!p.empty() && p[0] == '/') p = "Z:" + p;  // a Linux build path, seen through Wine's Z: drive
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

class PsyQrDcd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = LoadLibraryA(DllPath().c_str());
    ASSERT_NE(module_, nullptr) << DllPath() << " error " << GetLastError();
  }
  static void TearDownTestSuite() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(module_, nullptr);
    decode_ = reinterpret_cast<DecodeFn>(reinterpret_cast<void*>(GetProcAddress(module_, "DecodePictureFile")));
    version_ = reinterpret_cast<IntFn>(reinterpret_cast<void*>(GetProcAddress(module_, "GetDecodeVersion")));
    level_ = reinterpret_cast<IntFn>(reinterpret_cast<void*>(GetProcAddress(module_, "GetDecodeLevel")));
    concat_ = reinterpret_cast<ConcatFn>(reinterpret_cast<void*>(GetProcAddress(module_, "GetConcatenationInfo")));
    data_ = reinterpret_cast<StringFn>(reinterpret_cast<void*>(GetProcAddress(module_, "GetDecodeDataString")));
    position_ = reinterpret_cast<PositionFn>(reinterpret_cast<void*>(GetProcAddress(module_, "GetSymbolePosition")));
    free_ = reinterpret_cast<FreeFn>(reinterpret_cast<void*>(GetProcAddress(module_, "FreeAllocateMemory")));
    ASSERT_TRUE(decode_ && version_ && level_ && concat_ && data_ && position_ && free_);
    char tmp[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, tmp), 0u);
    // A Chinese file name: the DLL must open ANSI (code page 936) paths.
    dir_ = std::string(tmp) + "qr_dll_test_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir_.c_str(), nullptr);
    link_bmp_ = dir_ + "\\二维码分享.bmp";
    testing::RenderOptions o;
    o.module_px = 3;
    const testing::Matrix m = testing::EncodeText(kShareLink, 3, EcLevel::M);
    ASSERT_EQ(m.size, 29);
    const GrayImage img = testing::Render(m, o);
    ASSERT_TRUE(WriteFileBytes(link_bmp_, testing::MakeBmp24(img)));
    link_side_ = img.width;
  }
  void TearDown() override {
    free_();
    DeleteFileA(link_bmp_.c_str());
    for (const std::string& f : extra_) DeleteFileA(f.c_str());
    RemoveDirectoryA(dir_.c_str());
  }
  std::string Extra(const char* name, const std::vector<uint8_t>& bytes) {
    const std::string p = dir_ + "\\" + name;
    EXPECT_TRUE(WriteFileBytes(p, bytes));
    extra_.push_back(p);
    return p;
  }

  static HMODULE module_;
  DecodeFn decode_ = nullptr;
  IntFn version_ = nullptr, level_ = nullptr;
  ConcatFn concat_ = nullptr;
  StringFn data_ = nullptr;
  PositionFn position_ = nullptr;
  FreeFn free_ = nullptr;
  std::string dir_, link_bmp_;
  std::vector<std::string> extra_;
  int link_side_ = 0;
};
HMODULE PsyQrDcd::module_ = nullptr;

TEST_F(PsyQrDcd, DecodesTheShareLinkFromAnAnsiPath) {
  ASSERT_EQ(decode_(link_bmp_.c_str()), 1);
  EXPECT_STREQ(data_(0), kShareLink);
  EXPECT_EQ(version_(0), 3);
  EXPECT_EQ(level_(0), 1);
  int pos = -7, par = -7;
  EXPECT_EQ(concat_(0, &pos, &par), 0);
  EXPECT_EQ(pos, -7);
  EXPECT_EQ(par, -7);
  int pts[8] = {0};
  ASSERT_EQ(position_(0, pts), 1);
  // margin 10 + quiet zone 12, 29 modules of 3 px
  const int lo = 22, hi = 22 + 29 * 3;
  const int want[8] = {lo, lo, hi, lo, hi, hi, lo, hi};
  for (int k = 0; k < 8; ++k) EXPECT_NEAR(pts[k], want[k], 2) << k;
  EXPECT_EQ(link_side_, 2 * 22 + 29 * 3);
}

TEST_F(PsyQrDcd, ReportsStructuredAppendParts) {
  int parity = 0;
  for (const char* p = kShareLink; *p; ++p) parity ^= static_cast<uint8_t>(*p);
  const std::string whole = kShareLink;
  GrayImage page;
  page.width = 300;
  page.height = 150;
  page.pixels.assign(static_cast<size_t>(page.width) * page.height, 255);
  testing::RenderOptions o;
  o.module_px = 4;
  for (int i = 0; i < 2; ++i) {
    testing::Segment sa, text;
    sa.kind = testing::Segment::StructuredAppend;
    sa.sa_position = i;
    sa.sa_total = 2;
    sa.sa_parity = parity;
    text.kind = testing::Segment::Byte;
    text.data = whole.substr(i * 18, 18);
    testing::Paint(page, testing::Encode({sa, text}, 2, EcLevel::M), 5 + i * 145, 5, o);
  }
  const std::string path = Extra("sa.bmp", testing::MakeBmp24(page));
  ASSERT_EQ(decode_(path.c_str()), 2);
  std::string joined[2];
  for (int i = 0; i < 2; ++i) {
    int pos = -1, par = -1;
    ASSERT_EQ(concat_(i, &pos, &par), 2);
    ASSERT_TRUE(pos == 0 || pos == 1);
    EXPECT_EQ(par, parity);
    joined[pos] = data_(i);
  }
  EXPECT_EQ(joined[0] + joined[1], whole);
}

TEST_F(PsyQrDcd, ErrorCodes) {
  EXPECT_EQ(decode_((dir_ + "\\missing.bmp").c_str()), -1);
  EXPECT_EQ(decode_((dir_ + "\\no\\such\\dir.bmp").c_str()), -1);
  EXPECT_EQ(decode_(""), -1);
  EXPECT_EQ(decode_(dir_.c_str()), -2);  // a directory opens as no file
  EXPECT_EQ(decode_(nullptr), -1);
  EXPECT_EQ(decode_(Extra("text.bmp", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}).c_str()), -3);
  std::vector<uint8_t> cut = testing::MakeBmp24(testing::Render(testing::EncodeText(kShareLink)));
  cut.resize(cut.size() / 2);
  EXPECT_EQ(decode_(Extra("cut.bmp", cut).c_str()), -3);
  EXPECT_EQ(decode_(Extra("empty.bmp", {}).c_str()), -3);
  GrayImage blank;
  blank.width = blank.height = 64;
  blank.pixels.assign(64 * 64, 255);
  EXPECT_EQ(decode_(Extra("blank.bmp", testing::MakeBmp24(blank)).c_str()), 0);
  // another process or thread holding the file without sharing it
  HANDLE h = CreateFileA(link_bmp_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(decode_(link_bmp_.c_str()), -4);
  CloseHandle(h);
  EXPECT_EQ(decode_(link_bmp_.c_str()), 1);
}

TEST_F(PsyQrDcd, BadIndexesAndFreedResultsAreHarmless) {
  ASSERT_EQ(decode_(link_bmp_.c_str()), 1);
  for (int i : {-1, 1, 1000, INT_MIN, INT_MAX}) {
    EXPECT_EQ(version_(i), 0);
    EXPECT_EQ(level_(i), 0);
    EXPECT_STREQ(data_(i), "");
    int pos = 5, par = 6;
    EXPECT_EQ(concat_(i, &pos, &par), 0);
    EXPECT_EQ(pos, 5);
    EXPECT_EQ(par, 6);
    int pts[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(position_(i, pts), 0);
    EXPECT_EQ(pts[0], 9);
  }
  EXPECT_EQ(position_(0, nullptr), 0);
  EXPECT_EQ(concat_(0, nullptr, nullptr), 0);
  EXPECT_EQ(free_(), 1);
  EXPECT_EQ(version_(0), 0);
  EXPECT_STREQ(data_(0), "");
  EXPECT_EQ(free_(), 1);
  // a failed decode drops the previous results too
  ASSERT_EQ(decode_(link_bmp_.c_str()), 1);
  EXPECT_EQ(decode_((dir_ + "\\missing.bmp").c_str()), -1);
  EXPECT_EQ(version_(0), 0);
}

TEST_F(PsyQrDcd, ImportsNoCompilerRuntimeDlls) {
  const auto* base = reinterpret_cast<const uint8_t*>(module_);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  ASSERT_NE(dir.VirtualAddress, 0u);
  int count = 0;
  for (const auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
    std::string name = reinterpret_cast<const char*>(base + d->Name);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(name.find("libstdc++"), std::string::npos) << name;
    EXPECT_EQ(name.find("libgcc"), std::string::npos) << name;
    EXPECT_EQ(name.find("winpthread"), std::string::npos) << name;
    ++count;
  }
  EXPECT_GT(count, 0);
}

}  // namespace
}  // namespace vantaro::qr
