#include "core/capture_picture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

namespace vantaro {
namespace {

struct Rgb {
    int red, green, blue;
    bool operator==(const Rgb& o) const { return red == o.red && green == o.green && blue == o.blue; }
};
std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << c.red << "," << c.green << "," << c.blue << ")";
}

Rgb At(const BgrImage& image, int x, int y) {
    const uint8_t* pixel = image.Row(y) + x * 3;
    return {pixel[2], pixel[1], pixel[0]};
}

// A screen whose every pixel tells its own position.
BgrImage PositionScreen(int width, int height) {
    BgrImage screen = MakeFilledImage(width, height, 0, 0, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* pixel = screen.Row(y) + x * 3;
            pixel[0] = static_cast<uint8_t>(x);
            pixel[1] = static_cast<uint8_t>(y);
            pixel[2] = 7;
        }
    }
    return screen;
}

const Rgb kRed{255, 0, 0};
const Rgb kWhite{255, 255, 255};

TEST(BlendHalfToward, HalfOfTheWayRounded) {
    struct Case {
        int value, expected;
    };
    const Case cases[] = {{0, 118}, {255, 246}, {236, 236}, {235, 236}, {237, 237}, {100, 168}, {1, 119}};
    for (const Case c : cases) {
        EXPECT_EQ(BlendHalfToward(static_cast<uint8_t>(c.value), kWashOutGrey), c.expected) << c.value;
    }
}

TEST(WashedOut, BlendsEveryChannelOfEveryPixel) {
    BgrImage image = MakeFilledImage(3, 2, 0, 255, 100);
    const BgrImage washed = WashedOut(image);
    ASSERT_EQ(washed.width, 3);
    ASSERT_EQ(washed.height, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(At(washed, x, y), (Rgb{118, 246, 168}));
    EXPECT_EQ(At(image, 2, 1), (Rgb{0, 255, 100}));  // the source keeps its true colours
}

TEST(SelectionSizeFor, GrowsOnlyRightAndDown) {
    struct Case {
        int x0, y0, x, y, width, height;
    };
    const Case cases[] = {
        {10, 20, 110, 70, 100, 50},  // right and down
        {10, 20, 11, 21, 1, 1},      // the smallest selection
        {10, 20, 10, 20, 0, 0},      // no movement
        {10, 20, 5, 70, 0, 50},      // left: no width
        {10, 20, 110, 2, 100, 0},    // up: no height
        {10, 20, -300, -300, 0, 0},  // captured mouse far outside, up and left
    };
    for (const Case c : cases) {
        const SelectionSize size = SelectionSizeFor(c.x0, c.y0, c.x, c.y);
        EXPECT_EQ(size.width, c.width) << c.x << "," << c.y;
        EXPECT_EQ(size.height, c.height) << c.x << "," << c.y;
    }
}

TEST(CutSelection, TrueColoursInsideARedFrame) {
    const BgrImage screen = PositionScreen(40, 30);
    const BgrImage selection = CutSelection(screen, 5, 8, 6, 4);
    ASSERT_EQ(selection.width, 6);
    ASSERT_EQ(selection.height, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool frame = x == 0 || y == 0 || x == 5 || y == 3;
            EXPECT_EQ(At(selection, x, y), frame ? kRed : (Rgb{7, 8 + y, 5 + x})) << x << "," << y;
        }
    }
}

TEST(CutSelection, SmallSelectionsAreAllFrame) {
    const BgrImage screen = PositionScreen(10, 10);
    for (int side : {1, 2}) {
        const BgrImage selection = CutSelection(screen, 3, 3, side, side);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) EXPECT_EQ(At(selection, x, y), kRed) << side;
    }
    EXPECT_EQ(CutSelection(screen, 3, 3, 0, 5).pixels.size(), 0u);
    EXPECT_EQ(CutSelection(screen, 3, 3, 5, 0).height, 0);
}

TEST(CutSelection, PixelsBeyondTheScreenStayWhite) {
    // A mouse captured outside the window can report positions past the screen's edge.
    const BgrImage screen = PositionScreen(10, 10);
    const BgrImage selection = CutSelection(screen, 7, 8, 6, 5);
    EXPECT_EQ(At(selection, 1, 1), (Rgb{7, 9, 8}));
    EXPECT_EQ(At(selection, 3, 1), kWhite);  // column 10
    EXPECT_EQ(At(selection, 1, 2), kWhite);  // row 10
    EXPECT_EQ(At(selection, 5, 2), kRed);
    const BgrImage outside = CutSelection(screen, 20, 20, 3, 3);
    EXPECT_EQ(At(outside, 1, 1), kWhite);
}

// On request (--gtest_also_run_disabled_tests): what one mouse move over a whole 1920 x 1080 screen costs,
// and the wash-out done once per opening. Prints numbers, asserts nothing about speed.
TEST(CapturePictureBenchmark, DISABLED_FullHdScreen) {
    const BgrImage screen = PositionScreen(1920, 1080);
    using Clock = std::chrono::steady_clock;
    const int rounds = 50;
    auto start = Clock::now();
    size_t sink = 0;
    for (int i = 0; i < rounds; ++i) sink += CutSelection(screen, 0, 0, 1920 - i, 1080 - i).pixels[100];
    const double cutMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / rounds;
    start = Clock::now();
    for (int i = 0; i < rounds; ++i) sink += WashedOut(screen).pixels[100];
    const double washMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / rounds;
    start = Clock::now();
    for (int i = 0; i < rounds; ++i) sink += BmpFileBytes(screen).size();
    const double bmpMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / rounds;
    std::printf("1920x1080: selection rebuild %.2f ms, wash-out %.2f ms, BMP bytes %.2f ms (%zu)\n", cutMs,
                washMs, bmpMs, sink % 7);
}

}  // namespace
}  // namespace vantaro
