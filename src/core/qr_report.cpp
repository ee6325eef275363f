#include "core/qr_report.h"

namespace vantaro {
namespace {

constexpr char kLineEnd[] = "\r\n";

std::string Separator() {
    std::string line;
    for (int i = 0; i < 22; ++i) line += "\xA1\xAA";  // the GBK em-dash
    return line + kLineEnd;
}

std::string LevelText(int level) {
    switch (level) {
        case 0: return "L(7%)";
        case 1: return "M(15%)";
        case 2: return "Q(25%)";
        case 3: return "H(30%)";
        default: return "";
    }
}

char HexDigit(int v) { return "0123456789ABCDEF"[v & 15]; }

std::string StructureText(const QrSymbolReport& s) {
    if (s.total <= 0) return "";
    const int parity = s.parity & 0xFF;
    return ", 综合:" + std::to_string(s.position + 1) + "/" + std::to_string(s.total) + "(CD" +
           HexDigit(parity >> 4) + HexDigit(parity) + "H)";
}

std::string PositionText(const int p[8]) {
    std::string text = "符号位置：";
    for (int corner = 0; corner < 4; ++corner) {
        if (corner > 0) text += "-";
        text += "(" + std::to_string(p[2 * corner]) + ", " + std::to_string(p[2 * corner + 1]) + ")";
    }
    return text;
}

std::string SymbolText(const QrSymbolReport& s, size_t index) {
    std::string text = Separator();
    text += "已解码数据 " + std::to_string(index + 1) + " [模型版本: " + std::to_string(s.version) +
            ", 等级: " + LevelText(s.level) + StructureText(s) + "]" + kLineEnd;
    text += Separator();
    text += s.dataGbk + kLineEnd + kLineEnd;
    text += PositionText(s.points) + kLineEnd + kLineEnd;
    return text;
}

}  // namespace

std::string QrFailureReport(int n) {
    switch (n) {
        case 0: return "未找到 QR 代码符号。";
        case -1: return "文件未找到！";
        case -2: return "读取文件时发生错误。";
        case -3: return "无法读取此格式文件。";
        case -4: return "共享冲突，无法读取文件。";
        case -5: return "内存不足。";
        default: return "";
    }
}

std::string QrSymbolsReport(const std::vector<QrSymbolReport>& symbols) {
    std::string report;
    for (size_t i = 0; i < symbols.size(); ++i) report += SymbolText(symbols[i], i);
    return report;
}

}  // namespace vantaro
