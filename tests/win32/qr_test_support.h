#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

#include "core/bmp_writer.h"

namespace vantaro::test {

// Module rows made by qrencode (tests/fixtures/qr/make_qr_fixture.py): '1' dark.
struct QrCodeRows {
    const char* const* rows;
    size_t count;
};
QrCodeRows ShareLinkCode();   // vantaro://MTkyLjAuMi4xOjgzODg6cGFzcw: 192.0.2.1 8388 pass
QrCodeRows SecondLinkCode();  // vantaro://MTk4LjUxLjEwMC43OjQ0MzrD3MLr: 198.51.100.7 443 密码
QrCodeRows PlainTextCode();   // Hello, scanner
constexpr char kShareLinkText[] = "vantaro://MTkyLjAuMi4xOjgzODg6cGFzcw";
constexpr char kSecondLinkText[] = "vantaro://MTk4LjUxLjEwMC43OjQ0MzrD3MLr";

// The code drawn black on white, scale pixels per module, with a quiet zone of margin modules.
BgrImage RenderCode(QrCodeRows code, int scale, int margin = 4);
// Two pictures next to each other on white.
BgrImage SideBySide(const BgrImage& left, const BgrImage& right);

// The test build's PsyQrDcd.dll copied next to this executable, where the program looks for it.
void PlaceLibraryBesideExecutable();

std::string Separator();  // 22 GBK em-dashes and CR LF
bool FileExists(const std::string& path);

}  // namespace vantaro::test
