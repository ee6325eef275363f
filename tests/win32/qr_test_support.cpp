#include "qr_test_support.h"

#include <algorithm>
#include <cstring>

#include "platform/module_path.h"

namespace vantaro::test {
namespace {
#include "qr_fixture_codes.inc"
}  // namespace

QrCodeRows ShareLinkCode() { return {kShareLinkCode, std::size(kShareLinkCode)}; }
QrCodeRows SecondLinkCode() { return {kSecondLinkCode, std::size(kSecondLinkCode)}; }
QrCodeRows PlainTextCode() { return {kPlainTextCode, std::size(kPlainTextCode)}; }

BgrImage RenderCode(QrCodeRows code, int scale, int margin) {
    const int side = (static_cast<int>(code.count) + 2 * margin) * scale;
    BgrImage image = MakeFilledImage(side, side, 255, 255, 255);
    for (size_t row = 0; row < code.count; ++row) {
        for (size_t column = 0; code.rows[row][column] != '\0'; ++column) {
            if (code.rows[row][column] != '1') continue;
            for (int dy = 0; dy < scale; ++dy) {
                uint8_t* pixels = image.Row((static_cast<int>(row) + margin) * scale + dy);
                std::memset(pixels + ((static_cast<int>(column) + margin) * scale) * 3, 0,
                            static_cast<size_t>(scale) * 3);
            }
        }
    }
    return image;
}

BgrImage SideBySide(const BgrImage& left, const BgrImage& right) {
    BgrImage image =
        MakeFilledImage(left.width + right.width, std::max(left.height, right.height), 255, 255, 255);
    for (int y = 0; y < left.height; ++y) std::memcpy(image.Row(y), left.Row(y), left.width * 3);
    for (int y = 0; y < right.height; ++y)
        std::memcpy(image.Row(y) + left.width * 3, right.Row(y), right.width * 3);
    return image;
}

void PlaceLibraryBesideExecutable() {
    // The build puts the DLL with the QR decoder's objects; the program looks for it in its own directory. A
    // copy that is already loaded cannot be replaced and need not be.
    static bool placed = false;
    if (placed) return;
    placed = true;
    const std::string built = OwnExecutableDirectory() + "\\..\\src\\qr\\PsyQrDcd.dll";
    const std::string beside = OwnExecutableDirectory() + "\\PsyQrDcd.dll";
    if (FileExists(built)) CopyFileA(built.c_str(), beside.c_str(), FALSE);
}

std::string Separator() {
    std::string line;
    for (int i = 0; i < 22; ++i) line += "\xA1\xAA";  // the GBK em-dash
    return line + "\r\n";
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace vantaro::test
