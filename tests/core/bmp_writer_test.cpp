#include "core/bmp_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace vantaro {
namespace {

uint32_t Field(const std::vector<uint8_t>& bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes.at(at + static_cast<size_t>(i));
    return value;
}

// Every pixel a distinct colour, every padding byte 0xEE: the writer must move pixels and zero the padding.
BgrImage Numbered(int width, int height) {
    BgrImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(image.Stride()) * static_cast<size_t>(height), 0xEE);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* pixel = image.Row(y) + x * 3;
            pixel[0] = static_cast<uint8_t>(x);            // blue: column
            pixel[1] = static_cast<uint8_t>(y);            // green: row
            pixel[2] = static_cast<uint8_t>(x + y + 100);  // red
        }
    }
    return image;
}

TEST(BmpFileBytes, HeaderFieldsForEveryRowPadding) {
    struct Case {
        int width, height;
        uint32_t stride;
    };
    // Widths 1..5 give every remainder of width * 3 modulo 4.
    const Case cases[] = {{1, 3, 4}, {2, 2, 8}, {3, 1, 12}, {4, 2, 12}, {5, 3, 16}, {640, 2, 1920}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        const std::vector<uint8_t> bytes = BmpFileBytes(Numbered(c.width, c.height));
        const uint32_t pixelBytes = c.stride * static_cast<uint32_t>(c.height);
        ASSERT_EQ(bytes.size(), 54u + pixelBytes);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(Field(bytes, 2, 4), bytes.size());  // file size
        EXPECT_EQ(Field(bytes, 6, 4), 0u);            // reserved
        EXPECT_EQ(Field(bytes, 10, 4), 54u);          // pixel offset
        EXPECT_EQ(Field(bytes, 14, 4), 40u);          // information header size
        EXPECT_EQ(Field(bytes, 18, 4), static_cast<uint32_t>(c.width));
        EXPECT_EQ(Field(bytes, 22, 4), static_cast<uint32_t>(c.height));  // positive: bottom-up
        EXPECT_EQ(Field(bytes, 26, 2), 1u);                               // planes
        EXPECT_EQ(Field(bytes, 28, 2), 24u);                              // bits per pixel
        EXPECT_EQ(Field(bytes, 30, 4), 0u);                               // BI_RGB
        EXPECT_EQ(Field(bytes, 34, 4), pixelBytes);
        EXPECT_EQ(Field(bytes, 46, 4), 0u);  // colours used
        EXPECT_EQ(Field(bytes, 50, 4), 0u);  // important colours
    }
}

TEST(BmpFileBytes, RowsBottomUpWithZeroPadding) {
    const int width = 5, height = 3;
    const std::vector<uint8_t> bytes = BmpFileBytes(Numbered(width, height));
    const size_t stride = 16;
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const int imageRow = height - 1 - fileRow;  // the first row in the file is the picture's last
        const uint8_t* row = bytes.data() + 54 + fileRow * stride;
        for (int x = 0; x < width; ++x) {
            EXPECT_EQ(row[x * 3 + 0], x) << fileRow;
            EXPECT_EQ(row[x * 3 + 1], imageRow) << fileRow;
            EXPECT_EQ(row[x * 3 + 2], x + imageRow + 100) << fileRow;
        }
        for (size_t pad = width * 3; pad < stride; ++pad) EXPECT_EQ(row[pad], 0) << fileRow << " " << pad;
    }
}

TEST(BmpFileBytes, EmptyPicturesGiveTheHeadersAlone) {
    struct Case {
        int width, height;
    };
    for (const Case c : {Case{0, 0}, Case{0, 7}, Case{7, 0}}) {
        const std::vector<uint8_t> bytes = BmpFileBytes(MakeFilledImage(c.width, c.height, 1, 2, 3));
        ASSERT_EQ(bytes.size(), 54u);
        EXPECT_EQ(Field(bytes, 2, 4), 54u);
        EXPECT_EQ(Field(bytes, 18, 4), static_cast<uint32_t>(c.width));
        EXPECT_EQ(Field(bytes, 22, 4), static_cast<uint32_t>(c.height));
        EXPECT_EQ(Field(bytes, 34, 4), 0u);
    }
}

TEST(BmpFileBytes, ShortBufferIsNotReadPast) {
    BgrImage image = Numbered(4, 4);
    image.pixels.resize(5);
    const std::vector<uint8_t> bytes = BmpFileBytes(image);
    ASSERT_EQ(bytes.size(), 54u + 12u * 4u);
    for (size_t i = 54; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], 0);
}

TEST(MakeFilledImage, FillsPixelsInBlueGreenRedOrder) {
    const BgrImage image = MakeFilledImage(3, 2, 10, 20, 30);
    ASSERT_EQ(image.pixels.size(), 24u);
    EXPECT_EQ(image.Row(1)[6], 30);
    EXPECT_EQ(image.Row(1)[7], 20);
    EXPECT_EQ(image.Row(1)[8], 10);
    EXPECT_EQ(MakeFilledImage(-4, 3, 0, 0, 0).width, 0);
    // A grey fills every pixel byte and leaves the row padding zero.
    EXPECT_EQ(MakeFilledImage(2, 2, 255, 255, 255).pixels,
              (std::vector<uint8_t>{255, 255, 255, 255, 255, 255, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0}));
}

}  // namespace
}  // namespace vantaro
