#pragma once
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "app/tray.h"
#include "app/tray_icon.h"

namespace vantaro::test {

struct Balloon {
    std::string title, text;
    DWORD kind;
};

// Clears the balloon fields of the tray record, so the next balloon can be told from the last one.
inline void ClearBalloon() { ProgramTrayIcon()->ShowBalloon("", "", 0); }

// Runs the GUI thread's messages until a balloon is in the tray record (or the limit passes: empty title).
template <typename Pump>
Balloon WaitForBalloon(Pump pump, DWORD limitMs = 20000) {
    const DWORD start = GetTickCount();
    for (;;) {
        pump();
        const NOTIFYICONDATAA& record = ProgramTrayIcon()->Record();
        if (record.szInfoTitle[0] != '\0') return {record.szInfoTitle, record.szInfo, record.dwInfoFlags};
        if (GetTickCount() - start > limitMs) return {};
        Sleep(5);
    }
}

// Measures how long the GUI thread leaves a sent message unanswered: a second thread sends WM_NULL to a
// message-only window of the GUI thread every 10 ms and keeps the longest round trip. Prints, asserts
// nothing.
class GuiStallProbe {
  public:
    GuiStallProbe() {
        window_ = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        prober_ = std::thread([this] {
            LARGE_INTEGER frequency, before, after;
            QueryPerformanceFrequency(&frequency);
            while (!stop_) {
                QueryPerformanceCounter(&before);
                DWORD_PTR ignored = 0;
                SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored);
                QueryPerformanceCounter(&after);
                const double ms = 1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) /
                                  static_cast<double>(frequency.QuadPart);
                if (ms > longestMs_) longestMs_ = ms;
                ++probes_;
                Sleep(10);
            }
            finished_ = true;
        });
    }
    ~GuiStallProbe() { Stop(); }
    // Ends the probe and prints the figure; the GUI thread must keep pumping until the prober has stopped.
    double Stop(const char* label = nullptr) {
        if (prober_.joinable()) {
            stop_ = true;
            while (!finished_) {
                PumpSent();
                Sleep(1);
            }
            prober_.join();
            DestroyWindow(window_);
            if (label)
                std::printf("[ stall    ] %s: longest GUI stall %.1f ms over %d probes\n", label,
                            longestMs_.load(), probes_.load());
        }
        return longestMs_;
    }

  private:
    static void PumpSent() {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // delivers messages sent by other threads
    }
    HWND window_ = nullptr;
    std::thread prober_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::atomic<double> longestMs_{0};
    std::atomic<int> probes_{0};
};

}  // namespace vantaro::test
