// Whole-image decodes of symbols made by the test encoder, and BMP files with hostile headers.
#include <gtest/gtest.h>

#include <cstring>

#include "qr/bmp.h"
#include "qr/decoder.h"
#include "qr/tables.h"
#include "qr_encoder.h"

namespace vantaro::qr {
namespace {

using testing::EncodeText;
using testing::Matrix;
using testing::RenderOptions;
using testing::Segment;

TEST(WholeImage, DecodesEveryLevelAndMaskAcrossVersions) {
  for (int v : {1, 2, 6, 7, 14, 27, 40})
    for (int l = 0; l < 4; ++l)
      for (int mask = 0; mask < 8; mask += (v == 1 ? 1 : 3)) {
        // about half the capacity, so several blocks of the larger versions carry data
        const int cap = GetBlockLayout(v, static_cast<EcLevel>(l)).data_codewords - 3;
        std::string text = std::to_string(v) + "/" + std::to_string(l) + "/" + std::to_string(mask);
        while (static_cast<int>(text.size()) < cap / 2) text += static_cast<char>('a' + text.size() % 26);
        const Matrix m = EncodeText(text, v, static_cast<EcLevel>(l), mask);
        ASSERT_EQ(m.size, 17 + 4 * v);
        RenderOptions o;
        o.module_px = v >= 27 ? 2 : 3;
        const std::vector<Symbol> s = DecodeImage(testing::Render(m, o));
        ASSERT_EQ(s.size(), 1u) << text;
        EXPECT_EQ(s[0].text, text);
        EXPECT_EQ(s[0].version, v);
        EXPECT_EQ(s[0].level, l);
        EXPECT_FALSE(s[0].has_structured_append);
        EXPECT_FALSE(s[0].mirrored);
      }
}

TEST(WholeImage, ReportsCornersInImagePixels) {
  const Matrix m = EncodeText("corners", 2, EcLevel::M);
  RenderOptions o;
  o.module_px = 4;
  o.margin = 7;
  const std::vector<Symbol> s = DecodeImage(testing::Render(m, o));
  ASSERT_EQ(s.size(), 1u);
  const float lo = 7 + 16, hi = lo + 25 * 4;  // margin + quiet zone, 25 modules of 4 px
  const float want[4][2] = {{lo, lo}, {hi, lo}, {hi, hi}, {lo, hi}};
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(s[0].corners[k].x, want[k][0], 1.5) << k;
    EXPECT_NEAR(s[0].corners[k].y, want[k][1], 1.5) << k;
  }
}

TEST(WholeImage, MirroredInvertedAndLowContrastSymbols) {
  const Matrix m = EncodeText("vantaro://mirror", 3, EcLevel::Q, 2);
  {
    const std::vector<Symbol> s = DecodeImage(testing::Render(testing::Transposed(m)));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].text, "vantaro://mirror");
    EXPECT_TRUE(s[0].mirrored);
  }
  struct Look {
    const char* name;
    uint8_t dark, light, page;
  };
  const Look looks[] = {{"light on dark", 230, 30, 30}, {"grey on white", 200, 255, 255}, {"card", 60, 120, 255}};
  for (const Look& k : looks) {
    RenderOptions o;
    o.dark = k.dark;
    o.light = k.light;
    o.page = k.page;
    o.margin = 30;
    const std::vector<Symbol> s = DecodeImage(testing::Render(m, o));
    ASSERT_EQ(s.size(), 1u) << k.name;
    EXPECT_EQ(s[0].text, "vantaro://mirror") << k.name;
  }
  // pale modules with black page text right beside the quiet zone
  {
    RenderOptions o;
    o.dark = 205;
    o.module_px = 3;
    o.margin = 30;
    GrayImage img = testing::Render(m, o);
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < 29; ++x)
        if (x % 5 < 2 || y % 7 == 0) img.pixels[static_cast<size_t>(y) * img.width + x] = 0;
    const std::vector<Symbol> s = DecodeImage(img);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].text, "vantaro://mirror");
  }
}

TEST(WholeImage, SeveralSymbolsWithStructuredAppendEachReportedOnce) {
  const std::string whole = "vantaro://MTkyLjAuMi4xOjgzODg6cGFzcw";
  int parity = 0;
  for (char c : whole) parity ^= static_cast<uint8_t>(c);
  GrayImage page;
  page.width = 420;
  page.height = 160;
  page.pixels.assign(static_cast<size_t>(page.width) * page.height, 255);
  const std::string parts[3] = {whole.substr(0, 12), whole.substr(12, 12), whole.substr(24)};
  RenderOptions o;
  o.module_px = 4;
  o.quiet = 2;
  for (int i = 0; i < 3; ++i) {
    Segment sa;
    sa.kind = Segment::StructuredAppend;
    sa.sa_position = i;
    sa.sa_total = 3;
    sa.sa_parity = parity;
    Segment data;
    data.kind = Segment::Byte;
    data.data = parts[i];
    testing::Paint(page, testing::Encode({sa, data}, 2, EcLevel::L), 10 + i * 136, 20, o);
  }
  const std::vector<Symbol> s = DecodeImage(page);
  ASSERT_EQ(s.size(), 3u);
  bool seen[3] = {false, false, false};
  for (const Symbol& sym : s) {
    ASSERT_TRUE(sym.has_structured_append);
    ASSERT_GE(sym.sa_position, 0);
    ASSERT_LT(sym.sa_position, 3);
    EXPECT_FALSE(seen[sym.sa_position]);
    seen[sym.sa_position] = true;
    EXPECT_EQ(sym.text, parts[sym.sa_position]);
    EXPECT_EQ(sym.sa_total, 3);
    EXPECT_EQ(sym.sa_parity, parity);
  }
}

TEST(WholeImage, ModesEndToEnd) {
  struct ModeCase {
    const char* name;
    std::vector<Segment> segs;
    std::string want;
  };
  auto seg = [](Segment::Kind k, std::string d, int value = 0) {
    Segment s;
    s.kind = k;
    s.data = std::move(d);
    s.value = value;
    return s;
  };
  const ModeCase cases[] = {
      {"numeric", {seg(Segment::Numeric, "3141592653589793238")}, "3141592653589793238"},
      {"alphanumeric", {seg(Segment::Alnum, "VANTARO://AB $%*+-./:")}, "VANTARO://AB $%*+-./:"},
      {"kanji", {seg(Segment::Kanji, "\x8A\xBF\x8E\x9A")}, "漢字"},
      {"ECI UTF-8", {seg(Segment::Eci, "", 26), seg(Segment::Byte, "grüße")}, "grüße"},
      {"ECI Latin-1", {seg(Segment::Eci, "", 3), seg(Segment::Byte, "\xE9t\xE9")}, "été"},
      {"mixed", {seg(Segment::Byte, "id="), seg(Segment::Numeric, "0042"), seg(Segment::Alnum, "/X")}, "id=0042/X"},
  };
  for (const ModeCase& c : cases) {
    const std::vector<Symbol> s = DecodeImage(testing::Render(testing::Encode(c.segs, 0, EcLevel::M)));
    ASSERT_EQ(s.size(), 1u) << c.name;
    EXPECT_EQ(s[0].text, c.want) << c.name;
  }
}

// Paints over a share of the data area: within capacity the text comes back, beyond it nothing is reported.
TEST(WholeImage, DamagedSymbolsDecodeWithinCapacityAndNeverMisreport) {
  const std::string text = "vantaro://damage-test-0123456789";
  const Matrix m = EncodeText(text, 4, EcLevel::H);
  RenderOptions o;
  GrayImage img = testing::Render(m, o);
  const int start = o.margin + o.quiet * o.module_px;
  // light bars over whole module rows: 3 rows is a few codewords per block, the 15 rows between the finders
  // are more than half of all codewords
  auto bar = [&](GrayImage& g, int y0, int rows, int x0, int x1) {
    for (int y = y0; y < y0 + rows; ++y)
      for (int x = x0; x < x1; ++x)
        for (int py = 0; py < o.module_px; ++py)
          for (int px = 0; px < o.module_px; ++px)
            g.pixels[static_cast<size_t>(start + y * 4 + py) * g.width + start + x * 4 + px] = 255;
  };
  GrayImage light = img;
  bar(light, 15, 3, 9, m.size - 9);
  std::vector<Symbol> s = DecodeImage(light);
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0].text, text);
  GrayImage heavy = img;
  bar(heavy, 9, m.size - 18, 0, m.size);
  s = DecodeImage(heavy);
  EXPECT_TRUE(s.empty()) << s[0].text;
}

TEST(WholeImage, ClippedAndEmptyImagesGiveNothing) {
  const Matrix m = EncodeText("vantaro://clipped", 5, EcLevel::L);
  GrayImage img = testing::Render(m);
  GrayImage half;
  half.width = img.width;
  half.height = img.height / 2;
  half.pixels.assign(img.pixels.begin(), img.pixels.begin() + static_cast<long>(half.width) * half.height);
  EXPECT_TRUE(DecodeImage(half).empty());
  GrayImage blank;
  blank.width = blank.height = 200;
  blank.pixels.assign(200 * 200, 255);
  EXPECT_TRUE(DecodeImage(blank).empty());
  GrayImage tiny;
  tiny.width = tiny.height = 3;
  tiny.pixels.assign(9, 0);
  EXPECT_TRUE(DecodeImage(tiny).empty());
}

// ---- BMP reading ----

std::vector<uint8_t> SmallBmp() {
  const Matrix m = EncodeText("bmp", 1, EcLevel::M);
  return testing::MakeBmp24(testing::Render(m));
}

void Put32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST(Bmp, ReadsBottomUpTopDownAndDecodes) {
  const GrayImage img = testing::Render(EncodeText("bmp", 1, EcLevel::M));
  for (bool top_down : {false, true}) {
    const std::vector<uint8_t> f = testing::MakeBmp24(img, top_down);
    std::vector<Symbol> out;
    ASSERT_EQ(DecodeBmp(f.data(), f.size(), out), DecodeStatus::Ok);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].text, "bmp");
  }
}

TEST(Bmp, ReadsThirtyTwoBitAndPalettedRows) {
  // 3 x 2 image: row 0 (top) = black, white, grey 128; row 1 = white, black, white.
  const uint8_t want[6] = {0, 255, 128, 255, 0, 255};
  // 32-bit bottom-up, BI_RGB
  std::vector<uint8_t> f32(54 + 24, 0);
  f32[0] = 'B', f32[1] = 'M';
  Put32(f32, 10, 54);
  Put32(f32, 14, 40);
  Put32(f32, 18, 3);
  Put32(f32, 22, 2);
  f32[26] = 1;
  f32[28] = 32;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      const uint8_t v = want[(1 - y) * 3 + x];
      const size_t at = 54 + static_cast<size_t>(y) * 12 + static_cast<size_t>(x) * 4;
      f32[at] = f32[at + 1] = f32[at + 2] = v;
      f32[at + 3] = 0;
    }
  GrayImage g;
  ASSERT_EQ(ReadBmp(f32.data(), f32.size(), g), BmpStatus::Ok);
  EXPECT_EQ(g.pixels, std::vector<uint8_t>(want, want + 6));
  // 8-bit paletted top-down, 3 palette entries, rows padded to 4 bytes
  std::vector<uint8_t> f8(54 + 12 + 8, 0);
  f8[0] = 'B', f8[1] = 'M';
  Put32(f8, 10, 54 + 12);
  Put32(f8, 14, 40);
  Put32(f8, 18, 3);
  Put32(f8, 22, static_cast<uint32_t>(-2));
  f8[26] = 1;
  f8[28] = 8;
  Put32(f8, 46, 3);
  const uint8_t pal[3] = {0, 255, 128};
  for (int i = 0; i < 3; ++i) f8[54 + i * 4] = f8[55 + i * 4] = f8[56 + i * 4] = pal[i];
  const uint8_t idx[2][3] = {{0, 1, 2}, {1, 0, 1}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) f8[66 + y * 4 + x] = idx[y][x];
  ASSERT_EQ(ReadBmp(f8.data(), f8.size(), g), BmpStatus::Ok);
  EXPECT_EQ(g.pixels, std::vector<uint8_t>(want, want + 6));
}

TEST(Bmp, HostileHeadersGiveAClearStatus) {
  const std::vector<uint8_t> good = SmallBmp();
  struct Patch {
    size_t at;  // 32-bit little-endian field to overwrite
    uint32_t value;
  };
  struct Hostile {
    const char* name;
    std::vector<Patch> patches;
    size_t keep;  // truncate to this many bytes (0 = keep all)
    BmpStatus want;
  };
  const Hostile cases[] = {
      {"one byte", {}, 1, BmpStatus::NotBmp},
      {"no signature", {{0, 0x00004D58}}, 0, BmpStatus::NotBmp},
      {"file header only", {}, 20, BmpStatus::Truncated},
      {"unknown info header size", {{14, 99}}, 0, BmpStatus::NotBmp},
      {"zero width", {{18, 0}}, 0, BmpStatus::NotBmp},
      {"negative width", {{18, 0xFFFFFFF0u}}, 0, BmpStatus::NotBmp},
      {"width beyond the cap", {{18, 0x7FFFFFFFu}}, 0, BmpStatus::TooLarge},
      {"most negative height", {{22, 0x80000000u}}, 0, BmpStatus::TooLarge},
      {"area beyond the cap", {{18, 16000}, {22, 16000}}, 0, BmpStatus::TooLarge},
      {"16 bits per pixel", {{28, 16}}, 0, BmpStatus::NotBmp},
      {"RLE compression", {{30, 1}}, 0, BmpStatus::NotBmp},
      {"pixel offset past the end", {{10, 0xFFFFFF00u}}, 0, BmpStatus::Truncated},
      {"pixel offset inside the headers", {{10, 4}}, 0, BmpStatus::Truncated},
      {"height larger than the rows present", {{22, 5000}}, 0, BmpStatus::Truncated},
      {"last row cut short", {}, good.size() - 10, BmpStatus::Truncated},
  };
  for (const Hostile& c : cases) {
    std::vector<uint8_t> f = good;
    for (const Patch& p : c.patches) Put32(f, p.at, p.value);
    if (c.keep) f.resize(c.keep);
    GrayImage g;
    EXPECT_EQ(ReadBmp(f.data(), f.size(), g), c.want) << c.name;
    EXPECT_TRUE(g.pixels.empty()) << c.name;
    std::vector<Symbol> out;
    EXPECT_EQ(DecodeBmp(f.data(), f.size(), out), DecodeStatus::NotReadable) << c.name;
    EXPECT_TRUE(out.empty()) << c.name;
  }
}

}  // namespace
}  // namespace vantaro::qr
