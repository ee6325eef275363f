#include "core/qr_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantaro {
namespace {

std::string Separator() {
    std::string line;
    for (int i = 0; i < 22; ++i) line += "\xA1\xAA";
    return line + "\r\n";
}

QrSymbolReport Symbol(int version, int level, std::string data) {
    return QrSymbolReport{version, level, 0, 0, 0, std::move(data), {10, 20, 110, 20, 110, 120, 10, 120}};
}

TEST(QrSymbolsReport, OneSymbolExactBytes) {
    // 已解码数据 / 模型版本 / 等级 / 符号位置： in GBK.
    const std::string expected = Separator() +
                                 "\xD2\xD1\xBD\xE2\xC2\xEB\xCA\xFD\xBE\xDD 1 [\xC4\xA3\xD0\xCD\xB0\xE6\xB1\xBE: 2, "
                                 "\xB5\xC8\xBC\xB6: M(15%)]\r\n" +
                                 Separator() + "ABC\r\n\r\n" +
                                 "\xB7\xFB\xBA\xC5\xCE\xBB\xD6\xC3\xA3\xBA(10, 20)-(110, 20)-(110, 120)-(10, 120)\r\n\r\n";
    EXPECT_EQ(QrSymbolsReport({Symbol(2, 1, "ABC")}), expected);
}

TEST(QrSymbolsReport, SymbolsAreNumberedInOrder) {
    const std::string one = QrSymbolsReport({Symbol(1, 0, "first")});
    const std::string two = QrSymbolsReport({Symbol(40, 3, "second")});
    const std::string both = QrSymbolsReport({Symbol(1, 0, "first"), Symbol(40, 3, "second")});
    ASSERT_NE(two.find("数据 1 [模型版本: 40, 等级: H(30%)]\r\n"), std::string::npos);
    std::string renumbered = two;
    renumbered.replace(two.find("数据 1 ["), std::string("数据 1 [").size(), "数据 2 [");
    EXPECT_EQ(both, one + renumbered);
    EXPECT_EQ(QrSymbolsReport({}), "");
}

TEST(QrSymbolsReport, LevelsAndStructuredAppend) {
    struct Case { int level, total, position, parity; std::string header; };
    const Case cases[] = {
        {0, 0, 0, 0, "[模型版本: 3, 等级: L(7%)]"},
        {1, 0, 0, 0, "[模型版本: 3, 等级: M(15%)]"},
        {2, 0, 0, 0, "[模型版本: 3, 等级: Q(25%)]"},
        {3, 0, 0, 0, "[模型版本: 3, 等级: H(30%)]"},
        {4, 0, 0, 0, "[模型版本: 3, 等级: ]"},
        {-1, 0, 0, 0, "[模型版本: 3, 等级: ]"},
        {1, 3, 1, 0x3F, "[模型版本: 3, 等级: M(15%), 综合:2/3(CD3FH)]"},
        {1, 16, 15, 0xA0, "[模型版本: 3, 等级: M(15%), 综合:16/16(CDA0H)]"},
        {1, 2, 0, 0x1FE, "[模型版本: 3, 等级: M(15%), 综合:1/2(CDFEH)]"},  // parity is 8 bits
        {1, -1, 1, 0x3F, "[模型版本: 3, 等级: M(15%)]"},
    };
    for (const Case& c : cases) {
        QrSymbolReport s = Symbol(3, c.level, "d");
        s.total = c.total;
        s.position = c.position;
        s.parity = c.parity;
        EXPECT_NE(QrSymbolsReport({s}).find("1 " + c.header + "\r\n"), std::string::npos) << c.header;
    }
    // 综合 in GBK.
    QrSymbolReport s = Symbol(3, 1, "d");
    s.total = 3;
    s.position = 1;
    s.parity = 0x3F;
    EXPECT_NE(QrSymbolsReport({s}).find(", \xD7\xDB\xBA\xCF:2/3(CD3FH)]"), std::string::npos);
}

TEST(QrFailureReport, MessagesForResultsBelowOne) {
    EXPECT_EQ(QrFailureReport(0), "\xCE\xB4\xD5\xD2\xB5\xBD QR \xB4\xFA\xC2\xEB\xB7\xFB\xBA\xC5\xA1\xA3");
    const std::pair<int, std::string> cases[] = {
        {0, "未找到 QR 代码符号。"},  {-1, "文件未找到！"},     {-2, "读取文件时发生错误。"},
        {-3, "无法读取此格式文件。"}, {-4, "共享冲突，无法读取文件。"}, {-5, "内存不足。"},
        {-6, ""},                     {-100, ""},
    };
    for (const auto& [n, text] : cases) EXPECT_EQ(QrFailureReport(n), text) << n;
}

}  // namespace
}  // namespace vantaro
