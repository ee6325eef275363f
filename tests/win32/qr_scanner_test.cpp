#include "sharing/qr_scanner.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app_fixture.h"
#include "core/capture_picture.h"
#include "core/qr_report.h"
#include "platform/bitmap.h"
#include "platform/clipboard.h"
#include "qr_test_support.h"
#include "sharing/qr_library.h"
#include "sharing/sharing_commands.h"

namespace vantaro::test {
namespace {

constexpr char kViewerClass[] = "vantaroTestQrViewer";
const BgrImage* viewerPicture = nullptr;

LRESULT CALLBACK ViewerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        if (viewerPicture) DrawImage(dc, *viewerPicture, 0, 0, paint.rcPaint);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void PutOnClipboard(const std::string& text) { ASSERT_TRUE(WriteClipboardText(nullptr, text)); }
std::string ClipboardText() { return ReadClipboardText(nullptr).value_or("<no text>"); }

struct Rgb {
    int red, green, blue;
    bool operator==(const Rgb& o) const { return red == o.red && green == o.green && blue == o.blue; }
};
std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << c.red << "," << c.green << "," << c.blue << ")";
}

// What the driver thread saw while the capture window was open.
struct Seen {
    HWND capture = nullptr;
    bool mainWindowEnabled = true;
    bool topmost = true;
    bool mainWindowAbove = false;
    RECT rect{};
    bool openAfterRelease = false;
    std::vector<Rgb> pixels;  // asked for by Probe steps, in order
};

// One step of the user: a mouse message at (x, y), a key, or a look at painted pixels.
struct Step {
    UINT message;
    int x, y;
};
constexpr UINT kProbe = WM_APP + 1;  // reads the capture window's pixel at (x, y)

class QrScanner : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        PlaceLibraryBesideExecutable();
        WriteConfig("[NodeList]\r\nNum=1\r\nSelect node=0\r\n[Node]\r\nNode1=a 1 pa\r\n");
        ASSERT_NE(StartProgram(), nullptr);
        TakeMessages();
    }
    void TearDown() override {
        if (viewer_) DestroyWindow(viewer_);
        viewerPicture = nullptr;
        AppFixture::TearDown();
    }

    // Shows a picture at (x, y) above everything, as a web page showing a QR code would.
    void ShowOnScreen(const BgrImage& picture, int x, int y) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = ViewerProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kViewerClass;
        RegisterClassA(&windowClass);
        picture_ = picture;
        viewerPicture = &picture_;
        viewer_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kViewerClass, "",
                                  WS_POPUP | WS_VISIBLE, x, y, picture.width, picture.height, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(viewer_, nullptr);
        UpdateWindow(viewer_);
        PumpMessages();
        GdiFlush();
        Sleep(100);  // let the display catch up before the screenshot
        PumpMessages();
    }

    // Opens the scanner with its button and, from another thread, plays the steps into the capture window; an
    // Esc closes it at the end if the steps left it open.
    Seen Scan(const std::vector<Step>& steps) {
        Seen seen;
        HWND mainWindow = window_;
        HWND viewer = viewer_;
        std::thread driver([&seen, &steps, mainWindow, viewer] {
            for (int i = 0; i < 200 && seen.capture == nullptr; ++i) {
                HWND found = FindWindowA(kCaptureWindowClass, nullptr);
                DWORD process = 0;
                if (found) GetWindowThreadProcessId(found, &process);
                if (found && process == GetCurrentProcessId() && IsWindowVisible(found))
                    seen.capture = found;
                else
                    Sleep(25);
            }
            if (seen.capture == nullptr) return;
            HWND capture = seen.capture;
            // The code leaves the live screen: what is scanned and drawn is the frozen screenshot.
            if (viewer) ShowWindow(viewer, SW_HIDE);
            seen.mainWindowEnabled = IsWindowEnabled(mainWindow) != FALSE;
            seen.topmost = (GetWindowLongA(capture, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            for (HWND above = GetWindow(capture, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
                if (above == mainWindow) seen.mainWindowAbove = true;
            }
            GetWindowRect(capture, &seen.rect);
            for (const Step& step : steps) {
                if (step.message == kProbe) {
                    // The window paints when its thread is idle: wait until nothing is left to paint.
                    for (int i = 0; i < 400 && GetUpdateRect(capture, nullptr, FALSE); ++i) Sleep(5);
                    // The window's own surface: the screen copy under X may lag behind it.
                    HDC dc = GetDC(capture);
                    const COLORREF colour = GetPixel(dc, step.x, step.y);
                    ReleaseDC(capture, dc);
                    seen.pixels.push_back({GetRValue(colour), GetGValue(colour), GetBValue(colour)});
                } else if (step.message == WM_KEYDOWN) {
                    SendMessageA(capture, WM_KEYDOWN, static_cast<WPARAM>(step.x), 0);
                } else {
                    const WPARAM buttons = step.message == WM_LBUTTONUP ? 0 : MK_LBUTTON;
                    SendMessageA(capture, step.message, buttons, MAKELPARAM(step.x, step.y));
                }
                if (step.message == WM_LBUTTONUP) seen.openAfterRelease = IsWindowVisible(capture) != FALSE;
            }
            if (IsWindow(capture)) SendMessageA(capture, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        Click(Ctl::按钮_二维码扫描);  // runs the capture window until it is gone
        driver.join();
        if (viewer_) ShowWindow(viewer_, SW_SHOWNOACTIVATE);
        PumpMessages();
        Sleep(100);  // shown again for a following scan's screenshot
        PumpMessages();
        return seen;
    }

    static std::vector<Step> Drag(int x0, int y0, int x, int y) {
        return {{WM_LBUTTONDOWN, x0, y0},
                {WM_MOUSEMOVE, (x0 + x) / 2, (y0 + y) / 2},
                {WM_MOUSEMOVE, x, y},
                {WM_LBUTTONUP, x, y}};
    }
    std::string TemporaryImage() const { return runDirectory_ + "\\2wm.bmp"; }
    void ExpectNoNodeAdded() {
        EXPECT_EQ(RowCount(), 1);
        EXPECT_EQ(Value("NodeList", "Num"), "1");
    }

    HWND viewer_ = nullptr;
    BgrImage picture_;
};

const Rgb kWhite{255, 255, 255};
const Rgb kRed{255, 0, 0};
const Rgb kWashedWhite{246, 246, 246};

TEST_F(QrScanner, ScanOfAShareLinkImportsTheNodeAndLeavesTheReport) {
    ShowOnScreen(RenderCode(ShareLinkCode(), 4), 40, 40);  // 148 x 148, quiet zone 16 pixels
    PutOnClipboard("before");
    std::vector<Step> steps = {{WM_LBUTTONDOWN, 30, 30}, {WM_MOUSEMOVE, 100, 100},
                               {kProbe, 45, 45},   // inside: true colours of the quiet zone
                               {kProbe, 30, 50},   // the frame's first column
                               {kProbe, 99, 60},   // the frame's last column: x0 + w - 1
                               {kProbe, 60, 99},   // the frame's last row
                               {kProbe, 41, 180},  // outside the selection: washed out
                               {WM_MOUSEMOVE, 200, 200}, {WM_LBUTTONUP, 200, 200}};
    const Seen seen = Scan(steps);
    ASSERT_NE(seen.capture, nullptr) << "the capture window did not open";

    EXPECT_FALSE(seen.mainWindowEnabled);
    EXPECT_FALSE(seen.topmost);
    EXPECT_TRUE(seen.mainWindowAbove);
    EXPECT_EQ(seen.rect.left, 0);
    EXPECT_EQ(seen.rect.top, 0);
    EXPECT_EQ(seen.rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(seen.rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(seen.pixels, (std::vector<Rgb>{kWhite, kRed, kRed, kRed, kWashedWhite}));
    EXPECT_FALSE(seen.openAfterRelease);

    EXPECT_FALSE(IsWindow(seen.capture));
    EXPECT_TRUE(IsWindowEnabled(window_));
    EXPECT_FALSE(FileExists(TemporaryImage()));
    ASSERT_EQ(RowCount(), 2);
    EXPECT_EQ(SelectedRow(), 1);
    EXPECT_EQ(Text(Ctl::编辑框_服务器IP), "192.0.2.1");
    EXPECT_EQ(Text(Ctl::编辑框_服务器端口), "8388");
    EXPECT_EQ(Text(Ctl::编辑框_服务器密码), "pass");
    EXPECT_EQ(Value("NodeList", "Num"), "2");
    EXPECT_EQ(Value("Node", "Node2"), "192.0.2.1 8388 pass");
    const std::string report = ClipboardText();
    const std::string start = Separator() + "已解码数据 1 [模型版本: 3, 等级: M(15%)]\r\n" + Separator() +
                              kShareLinkText + "\r\n\r\n";
    EXPECT_EQ(report.substr(0, start.size()), start) << report;
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(QrScanner, TwoCodesImportOnlyTheFirstLinkOfTheReport) {
    ShowOnScreen(SideBySide(RenderCode(ShareLinkCode(), 3), RenderCode(SecondLinkCode(), 3)), 40, 40);
    Scan(Drag(35, 35, 40 + 2 * 111 + 5, 40 + 111 + 5));
    const std::string report = ClipboardText();
    const size_t first = report.find(kShareLinkText), second = report.find(kSecondLinkText);
    ASSERT_NE(first, std::string::npos) << report;
    ASSERT_NE(second, std::string::npos) << report;
    EXPECT_NE(report.find("已解码数据 2 ["), std::string::npos);
    ASSERT_EQ(RowCount(), 2);
    EXPECT_EQ(Text(Ctl::编辑框_服务器IP), first < second ? "192.0.2.1" : "198.51.100.7");
}

TEST_F(QrScanner, ACodeWithoutALinkLeavesOnlyItsReport) {
    ShowOnScreen(RenderCode(PlainTextCode(), 4), 40, 40);
    Scan(Drag(30, 30, 200, 200));
    EXPECT_NE(ClipboardText().find("\r\nHello, scanner\r\n"), std::string::npos) << ClipboardText();
    ExpectNoNodeAdded();
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_FALSE(FileExists(TemporaryImage()));
}

TEST_F(QrScanner, ASelectionWithoutACodeLeavesNotFound) {
    ShowOnScreen(MakeFilledImage(150, 150, 255, 255, 255), 40, 40);
    Scan(Drag(50, 50, 150, 150));
    EXPECT_EQ(ClipboardText(), "未找到 QR 代码符号。");
    ExpectNoNodeAdded();
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(QrScanner, DraggingLeftOrUpSelectsNothing) {
    ShowOnScreen(RenderCode(ShareLinkCode(), 4), 40, 40);
    for (const Step end : {Step{WM_MOUSEMOVE, 20, 250}, Step{WM_MOUSEMOVE, 250, 20}}) {
        PutOnClipboard("before");
        Scan({{WM_LBUTTONDOWN, 200, 200}, end, {WM_LBUTTONUP, end.x, end.y}});
        const std::string report = ClipboardText();
        EXPECT_TRUE(report == QrFailureReport(0) || report == QrFailureReport(-3)) << report;
        EXPECT_FALSE(FileExists(TemporaryImage()));
    }
    ExpectNoNodeAdded();
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(QrScanner, EscapeWritesNoFileAndLeavesTheClipboard) {
    ShowOnScreen(RenderCode(ShareLinkCode(), 4), 40, 40);
    PutOnClipboard("before");
    const Seen seen = Scan({{WM_LBUTTONDOWN, 30, 30}, {WM_MOUSEMOVE, 200, 200}, {WM_KEYDOWN, VK_ESCAPE, 0}});
    ASSERT_NE(seen.capture, nullptr);
    EXPECT_FALSE(IsWindow(seen.capture));
    EXPECT_EQ(ClipboardText(), "before");
    EXPECT_FALSE(FileExists(TemporaryImage()));
    ExpectNoNodeAdded();
    EXPECT_TRUE(IsWindowEnabled(window_));
}

TEST_F(QrScanner, AFileThatCannotBeWrittenKeepsTheWindowOpen) {
    ShowOnScreen(RenderCode(ShareLinkCode(), 4), 40, 40);
    ASSERT_TRUE(CreateDirectoryA(TemporaryImage().c_str(), nullptr));  // 2wm.bmp cannot be a file now
    PutOnClipboard("before");
    const Seen seen = Scan(Drag(30, 30, 200, 200));
    EXPECT_TRUE(seen.openAfterRelease);
    EXPECT_EQ(ClipboardText(), "before");
    ExpectNoNodeAdded();
    RemoveDirectoryA(TemporaryImage().c_str());
}

TEST_F(QrScanner, AClickWithoutADragDoesNotScanTheLastSelectionAgain) {
    ShowOnScreen(RenderCode(ShareLinkCode(), 4), 40, 40);
    Scan(Drag(30, 30, 200, 200));
    ASSERT_EQ(RowCount(), 2);
    Scan({{WM_LBUTTONDOWN, 60, 60}, {WM_LBUTTONUP, 60, 60}});
    EXPECT_EQ(RowCount(), 2);
    const std::string report = ClipboardText();
    EXPECT_TRUE(report == QrFailureReport(0) || report == QrFailureReport(-3)) << report;
}

TEST_F(QrScanner, ScansRepeatAndSurviveTheExitCleanUp) {
    // The state outlives each window; its release leaves nothing that a later scan trips over.
    ShowOnScreen(RenderCode(ShareLinkCode(), 4), 40, 40);
    Scan(Drag(30, 30, 200, 200));
    Scan(Drag(30, 30, 200, 200));
    EXPECT_EQ(RowCount(), 3);
    ReleaseScannerState();
    Scan(Drag(30, 30, 200, 200));
    EXPECT_EQ(RowCount(), 4);
}

}  // namespace
}  // namespace vantaro::test
