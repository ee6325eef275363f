#include "sharing/qr_library.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/qr_report.h"
#include "platform/bitmap.h"
#include "platform/message_box.h"
#include "platform/module_path.h"
#include "platform/text_conversion.h"
#include "qr_test_support.h"

namespace vantaro::test {
namespace {

// A stand-in for the library: what each function returns, and every call in order.
struct FakeSymbol {
    int version, level, total, position, parity;
    std::string dataUtf8;
    int points[8];
};
struct Fake {
    int count = 0;
    std::vector<FakeSymbol> symbols;
    std::vector<std::string> calls;
    std::string decodedPath;
    std::set<std::string> missing;
    std::map<std::string, int> lookups;
};
Fake* fake = nullptr;

void Called(const std::string& name, int i = -1) {
    fake->calls.push_back(i < 0 ? name : name + " " + std::to_string(i));
}
int __stdcall FakeDecode(const char* path) {
    Called("DecodePictureFile");
    fake->decodedPath = path;
    return fake->count;
}
int __stdcall FakeVersion(int i) {
    Called("GetDecodeVersion", i);
    return fake->symbols.at(i).version;
}
int __stdcall FakeLevel(int i) {
    Called("GetDecodeLevel", i);
    return fake->symbols.at(i).level;
}
int __stdcall FakeConcatenation(int i, int* position, int* parity) {
    Called("GetConcatenationInfo", i);
    const FakeSymbol& s = fake->symbols.at(i);
    if (s.total > 0) {
        *position = s.position;
        *parity = s.parity;
    }
    return s.total;
}
const char* __stdcall FakeData(int i) {
    Called("GetDecodeDataString", i);
    return fake->symbols.at(i).dataUtf8.c_str();
}
int __stdcall FakePosition(int i, int* points) {
    Called("GetSymbolePosition", i);
    std::copy(fake->symbols.at(i).points, fake->symbols.at(i).points + 8, points);
    return 1;
}
int __stdcall FakeFree() {
    Called("FreeAllocateMemory");
    return 1;
}

FARPROC LookUp(const char* name) {
    ++fake->lookups[name];
    if (fake->missing.count(name)) return nullptr;
    const std::map<std::string, void*> functions = {
        {"DecodePictureFile", reinterpret_cast<void*>(FakeDecode)},
        {"GetDecodeVersion", reinterpret_cast<void*>(FakeVersion)},
        {"GetDecodeLevel", reinterpret_cast<void*>(FakeLevel)},
        {"GetConcatenationInfo", reinterpret_cast<void*>(FakeConcatenation)},
        {"GetDecodeDataString", reinterpret_cast<void*>(FakeData)},
        {"GetSymbolePosition", reinterpret_cast<void*>(FakePosition)},
        {"FreeAllocateMemory", reinterpret_cast<void*>(FakeFree)},
    };
    const auto found = functions.find(name);
    return found == functions.end() ? nullptr : reinterpret_cast<FARPROC>(found->second);
}

// Records message boxes and program ends instead of showing and ending.
class QrLibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake = &fake_;
        SetMessageRecorder([this](const MessageRecord& record) { messages_.push_back(record); });
        SetProgramEndForTests([this](int code) { endCodes_.push_back(code); });
    }
    void TearDown() override {
        SetProgramEndForTests({});
        SetMessageRecorder({});
        fake = nullptr;
    }
    QrLibrary FakeLibrary() { return QrLibrary("C:\\fake\\PsyQrDcd.dll", LookUp); }

    Fake fake_;
    std::vector<MessageRecord> messages_;
    std::vector<int> endCodes_;
};

const FakeSymbol kLink{2, 1, 0, 0, 0, kShareLinkText, {10, 20, 110, 20, 110, 120, 10, 120}};
// UTF-8 of 中文 and of a full-width colon, second of a structured sequence of three with parity 0x13F.
const FakeSymbol kStructured{
    7, 3, 3, 1, 0x13F, "\xE4\xB8\xAD\xE6\x96\x87\xEF\xBC\x9A", {1, 2, 3, 4, 5, 6, 7, 8}};

TEST_F(QrLibraryTest, CallsTheLibraryInOrderAndBuildsTheReport) {
    fake_.count = 2;
    fake_.symbols = {kLink, kStructured};
    QrLibrary library = FakeLibrary();
    const std::string report = DecodeQrImageFile(library, "C:\\run\\2wm.bmp");

    const std::vector<std::string> order = {
        "DecodePictureFile",      "GetDecodeVersion 0",    "GetDecodeLevel 0",     "GetConcatenationInfo 0",
        "GetDecodeDataString 0",  "GetSymbolePosition 0",  "GetDecodeVersion 1",   "GetDecodeLevel 1",
        "GetConcatenationInfo 1", "GetDecodeDataString 1", "GetSymbolePosition 1", "FreeAllocateMemory"};
    EXPECT_EQ(fake_.calls, order);
    EXPECT_EQ(fake_.decodedPath, "C:\\run\\2wm.bmp");
    const std::string expected =
        Separator() + "已解码数据 1 [模型版本: 2, 等级: M(15%)]\r\n" + Separator() + kShareLinkText +
        "\r\n\r\n" + "符号位置：(10, 20)-(110, 20)-(110, 120)-(10, 120)\r\n\r\n" + Separator() +
        "已解码数据 2 [模型版本: 7, 等级: H(30%), 综合:2/3(CD3FH)]\r\n" + Separator() + "中文：\r\n\r\n" +
        "符号位置：(1, 2)-(3, 4)-(5, 6)-(7, 8)\r\n\r\n";
    EXPECT_EQ(report, expected);
    EXPECT_TRUE(messages_.empty());
    EXPECT_TRUE(endCodes_.empty());
}

TEST_F(QrLibraryTest, ResultsBelowOneAreTheMessageAloneWithoutFreeing) {
    struct Case {
        int n;
        std::string report;
    };
    const Case cases[] = {{0, "未找到 QR 代码符号。"},
                          {-1, "文件未找到！"},
                          {-2, "读取文件时发生错误。"},
                          {-3, "无法读取此格式文件。"},
                          {-4, "共享冲突，无法读取文件。"},
                          {-5, "内存不足。"},
                          {-6, ""},
                          {-2147483647 - 1, ""}};
    for (const Case& c : cases) {
        fake_.calls.clear();
        fake_.count = c.n;
        QrLibrary library = FakeLibrary();
        EXPECT_EQ(DecodeQrImageFile(library, "x.bmp"), c.report) << c.n;
        EXPECT_EQ(fake_.calls, std::vector<std::string>{"DecodePictureFile"}) << c.n;
    }
}

TEST_F(QrLibraryTest, EachFunctionIsLookedUpOnceAtItsFirstCall) {
    fake_.count = 1;
    fake_.symbols = {kLink};
    QrLibrary library = FakeLibrary();
    EXPECT_TRUE(fake_.lookups.empty());  // nothing before the first call
    library.DecodePictureFile("x.bmp");
    EXPECT_EQ(fake_.lookups, (std::map<std::string, int>{{"DecodePictureFile", 1}}));
    DecodeQrImageFile(library, "x.bmp");
    DecodeQrImageFile(library, "x.bmp");
    EXPECT_EQ(fake_.lookups.size(), 7u);
    for (const auto& [name, times] : fake_.lookups) EXPECT_EQ(times, 1) << name;
}

TEST_F(QrLibraryTest, AMissingFunctionIsNamedAndEndsTheProgram) {
    const char* const names[] = {"DecodePictureFile",    "GetDecodeVersion",    "GetDecodeLevel",
                                 "GetConcatenationInfo", "GetDecodeDataString", "GetSymbolePosition",
                                 "FreeAllocateMemory"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        fake_ = Fake{};
        fake_.count = 1;
        fake_.symbols = {kLink};
        fake_.missing = {name};
        messages_.clear();
        endCodes_.clear();
        QrLibrary library = FakeLibrary();
        DecodeQrImageFile(library, "x.bmp");
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_EQ(messages_[0].title, "错误");
        EXPECT_NE(messages_[0].text.find(std::string("“") + name + "”"), std::string::npos)
            << messages_[0].text;
        EXPECT_NE(messages_[0].text.find("PsyQrDcd.dll"), std::string::npos);
        EXPECT_EQ(endCodes_, std::vector<int>{1});
        // Ended: nothing after the missing function is called.
        for (const std::string& call : fake_.calls) EXPECT_EQ(call.find(name), std::string::npos) << call;
        EXPECT_TRUE(fake_.calls.empty() || fake_.calls.back().rfind("FreeAllocateMemory", 0) != 0);
    }
}

TEST_F(QrLibraryTest, AMissingLibraryIsNamedWithItsPathAndEndsTheProgram) {
    const std::string path = OwnExecutableDirectory() + "\\no-such-folder\\PsyQrDcd.dll";
    QrLibrary library(path);
    EXPECT_EQ(DecodeQrImageFile(library, "x.bmp"), "");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].title, "错误");
    EXPECT_NE(messages_[0].text.find("PsyQrDcd.dll"), std::string::npos);
    EXPECT_NE(messages_[0].text.find(path), std::string::npos);
    EXPECT_EQ(endCodes_, std::vector<int>{1});
}

TEST(QrLibraryPath, IsTheProgramsOwnDirectory) {
    EXPECT_EQ(QrLibraryPath(), OwnExecutableDirectory() + "\\PsyQrDcd.dll");
}

TEST(Utf8ToGbk, ConvertsThroughUtf16) {
    struct Case {
        std::string utf8, gbk;
    };
    const Case cases[] = {
        {"vantaro://abc", "vantaro://abc"},
        {"\xE4\xB8\xAD\xE6\x96\x87", "中文"},
        {"a\xF0\x9F\x98\x80z", ""},  // an emoji has no GBK form: checked below
        {"", ""},
    };
    for (const Case& c : cases) {
        const std::string gbk = Utf8ToGbk(c.utf8, "?");  // as the report converts
        if (c.utf8.find('\xF0') != std::string::npos) {
            // The characters after one without a GBK form survive: a link behind an emoji still imports.
            ASSERT_GE(gbk.size(), 3u);
            EXPECT_EQ(gbk.front(), 'a');
            EXPECT_EQ(gbk.back(), 'z');
            EXPECT_NE(gbk.find('?'), std::string::npos);
        } else {
            EXPECT_EQ(gbk, c.gbk);
        }
    }
    EXPECT_EQ(Utf8ToGbk("\xFF"
                        "ok")
                  .substr(Utf8ToGbk("\xFF"
                                    "ok")
                              .size() -
                          2),
              "ok");  // broken UTF-8
}

// The real library, where the program finds it, on pictures of codes made by another encoder.
class QrLibraryOnFiles : public QrLibraryTest {
  protected:
    void SetUp() override {
        QrLibraryTest::SetUp();
        PlaceLibraryBesideExecutable();
        ASSERT_TRUE(FileExists(QrLibraryPath())) << QrLibraryPath();
        char base[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, base);
        directory_ = std::string(base) + "vantaro-qr-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(directory_.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::string& file : files_) DeleteFileA(file.c_str());
        RemoveDirectoryA(directory_.c_str());
        QrLibraryTest::TearDown();
    }
    std::string Write(const std::string& name, const BgrImage& image) {
        const std::string path = directory_ + "\\" + name;
        EXPECT_TRUE(WriteBmpFile(path, image));
        files_.push_back(path);
        return path;
    }
    std::string directory_;
    std::vector<std::string> files_;
};

std::string Heading(int index) {
    return Separator() + "已解码数据 " + std::to_string(index) + " [模型版本: 3, 等级: M(15%)]\r\n" +
           Separator();
}

TEST_F(QrLibraryOnFiles, DecodesAShareLinkCode) {
    const std::string report = DecodeQrImageFile(Write("链接.bmp", RenderCode(ShareLinkCode(), 4)));
    const std::string start = Heading(1) + kShareLinkText + "\r\n\r\n" + "符号位置：(";
    ASSERT_EQ(report.substr(0, start.size()), start) << report;
    EXPECT_EQ(report.substr(report.size() - 5), ")\r\n\r\n");
    EXPECT_EQ(report.find(Separator(), start.size()), std::string::npos);  // one symbol only
    EXPECT_TRUE(messages_.empty());
}

TEST_F(QrLibraryOnFiles, TwoCodesGiveTwoSections) {
    const BgrImage both = SideBySide(RenderCode(ShareLinkCode(), 3), RenderCode(SecondLinkCode(), 3));
    const std::string report = DecodeQrImageFile(Write("two.bmp", both));
    EXPECT_NE(report.find(Heading(1)), std::string::npos) << report;
    EXPECT_NE(report.find(Heading(2)), std::string::npos) << report;
    EXPECT_NE(report.find(std::string(kShareLinkText) + "\r\n"), std::string::npos);
    EXPECT_NE(report.find(std::string(kSecondLinkText) + "\r\n"), std::string::npos);
}

TEST_F(QrLibraryOnFiles, FailuresGiveTheirMessages) {
    EXPECT_EQ(DecodeQrImageFile(Write("blank.bmp", MakeFilledImage(120, 90, 255, 255, 255))),
              "未找到 QR 代码符号。");
    EXPECT_EQ(DecodeQrImageFile(directory_ + "\\missing.bmp"), "文件未找到！");
    const std::string text = directory_ + "\\text.bmp";
    HANDLE file = CreateFileA(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "not a picture", 13, &written, nullptr);
    CloseHandle(file);
    files_.push_back(text);
    EXPECT_EQ(DecodeQrImageFile(text), "无法读取此格式文件。");
    EXPECT_TRUE(messages_.empty());
    EXPECT_TRUE(endCodes_.empty());
}

}  // namespace
}  // namespace vantaro::test
