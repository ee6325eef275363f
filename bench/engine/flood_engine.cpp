// A stand-in engine for measuring the log: named "vantaro-local.exe" like the real one, it writes a flood of
// UTF-8 lines with Chinese text (VANTARO_FLOOD_BYTES bytes, 20 MB unless set), then the line "flood done"
// with the count, and keeps running until it is terminated, as an engine does.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main() {
    unsigned long long total = 20ull * 1024 * 1024;
    if (const char* wanted = std::getenv("VANTARO_FLOOD_BYTES")) total = std::strtoull(wanted, nullptr, 10);
    std::setvbuf(stdout, nullptr, _IOFBF, 64 * 1024);
    unsigned long long written = 0;
    unsigned long long lines = 0;
    char line[160];
    while (written < total) {
        // Three-byte characters at every offset, so reads of the pipe split them every way there is.
        const int length = std::snprintf(line, sizeof line, "日志洪水 第 %llu 行：中文输出测试%.*s\n", lines,
                                         static_cast<int>(lines % 7), "abcdefg");
        std::fwrite(line, 1, static_cast<size_t>(length), stdout);
        written += static_cast<unsigned long long>(length);
        ++lines;
    }
    std::printf("flood done %llu lines %llu bytes\n", lines, written);
    std::fflush(stdout);
    for (;;) Sleep(INFINITE);
}
