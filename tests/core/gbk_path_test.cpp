#include "core/gbk_path.h"

#include <gtest/gtest.h>

#include <string>

namespace vantaro {
namespace {

struct PathCase {
    std::string text;
    size_t lastBackslash;
    std::string directory;
    std::string fileName;
};

TEST(GbkPath, TrailBytesAreNotBackslashes) {
    const size_t npos = std::string_view::npos;
    const PathCase cases[] = {
        {"C:\\tools\\vantaro-local.exe", 8, "C:\\tools\\", "vantaro-local.exe"},
        // 淺 (9C 5C) as the last character of a directory name: the real separator comes after it.
        {"C:\\\x9C\x5C\\e.exe", 5, "C:\\\x9C\x5C\\", "e.exe"},
        // A file name ending in 淺 : its 5C is not a separator.
        {"D:\\a\\b\x9C\x5C", 4, "D:\\a\\", "b\x9C\x5C"},
        // 表 (B1 ED) and 功 (B9 A6) mixed with 淺 and 能 (C4 DC), several levels deep.
        {"C:\\\xB1\xED\x9C\x5C\\\xB9\xA6\xC4\xDC\\x.exe", 12, "C:\\\xB1\xED\x9C\x5C\\\xB9\xA6\xC4\xDC\\", "x.exe"},
        {"\x9C\x5C\x9C\x5C", npos, "", "\x9C\x5C\x9C\x5C"},
        {"vantaro-local.exe", npos, "", "vantaro-local.exe"},
        {"", npos, "", ""},
        {"\\", 0, "\\", ""},
        {"C:\\dir\\", 6, "C:\\dir\\", ""},
        // Two dropped files: the name after the last backslash keeps the final CR LF.
        {"C:\\a\\vantaro-local.exe\r\nC:\\b\\x.exe\r\n", 28, "C:\\a\\vantaro-local.exe\r\nC:\\b\\", "x.exe\r\n"},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(FindLastBackslashGbk(c.text), c.lastBackslash) << c.text;
        EXPECT_EQ(EngineDirectoryOf(c.text), c.directory) << c.text;
        EXPECT_EQ(FileNameAfterLastBackslash(c.text), c.fileName) << c.text;
    }
}

}  // namespace
}  // namespace vantaro
