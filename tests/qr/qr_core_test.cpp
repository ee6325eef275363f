// Reed-Solomon, BCH words, block tables and segment parsing.
#include <gtest/gtest.h>

#include <random>

#include "qr/bch.h"
#include "qr/reed_solomon.h"
#include "qr/segments.h"
#include "qr/tables.h"
#include "qr/text.h"

namespace vantaro::qr {
namespace {

std::vector<uint8_t> RandomCodeword(std::mt19937& rng, int data_len, int ecc) {
  std::vector<uint8_t> block(static_cast<size_t>(data_len + ecc));
  for (int i = 0; i < data_len; ++i) block[i] = static_cast<uint8_t>(rng());
  ComputeEcc(block.data(), data_len, ecc, block.data() + data_len);
  return block;
}

// Puts `count` errors at distinct random positions.
void Corrupt(std::mt19937& rng, std::vector<uint8_t>& block, int count) {
  std::vector<int> pos(block.size());
  for (size_t i = 0; i < pos.size(); ++i) pos[i] = static_cast<int>(i);
  std::shuffle(pos.begin(), pos.end(), rng);
  for (int i = 0; i < count; ++i) block[pos[i]] ^= static_cast<uint8_t>(1 + rng() % 255);
}

TEST(ReedSolomon, CorrectsEveryErrorCountUpToCapacity) {
  std::mt19937 rng(7);
  // (data, ecc) pairs from real blocks: the smallest, typical, and the longest block of the tables.
  const int shapes[][2] = {{19, 7}, {16, 10}, {9, 17}, {13, 22}, {43, 26}, {118, 30}, {15, 30}};
  for (const auto& s : shapes) {
    for (int errors = 0; errors <= s[1] / 2; ++errors)
      for (int trial = 0; trial < 20; ++trial) {
        const std::vector<uint8_t> good = RandomCodeword(rng, s[0], s[1]);
        std::vector<uint8_t> bad = good;
        Corrupt(rng, bad, errors);
        const int n = CorrectBlock(bad.data(), static_cast<int>(bad.size()), s[1], s[1] / 2);
        ASSERT_EQ(n, errors) << s[0] << "+" << s[1] << " with " << errors << " errors";
        ASSERT_EQ(bad, good);
      }
  }
}

TEST(ReedSolomon, ReportsFailureBeyondCapacityAndLeavesTheBlock) {
  std::mt19937 rng(11);
  const int shapes[][2] = {{19, 7}, {16, 10}, {13, 22}, {118, 30}};
  for (const auto& s : shapes) {
    int miscorrected = 0;
    for (int trial = 0; trial < 200; ++trial) {
      const std::vector<uint8_t> good = RandomCodeword(rng, s[0], s[1]);
      std::vector<uint8_t> bad = good;
      Corrupt(rng, bad, s[1] / 2 + 1);
      const std::vector<uint8_t> before = bad;
      const int n = CorrectBlock(bad.data(), static_cast<int>(bad.size()), s[1], s[1] / 2);
      if (n < 0) {
        EXPECT_EQ(bad, before);
      } else {
        // a different valid codeword may lie within reach; it is never the original and always consistent
        EXPECT_NE(bad, good);
        ++miscorrected;
      }
    }
    // one error beyond capacity is detected nearly always for these block sizes
    EXPECT_LT(miscorrected, 20) << s[0] << "+" << s[1];
  }
}

TEST(ReedSolomon, RespectsAReducedCorrectionLimit) {
  std::mt19937 rng(3);
  std::vector<uint8_t> good = RandomCodeword(rng, 19, 7);
  std::vector<uint8_t> bad = good;
  Corrupt(rng, bad, 3);
  EXPECT_EQ(CorrectBlock(bad.data(), 26, 7, 2), -1);  // version 1-L keeps 3 codewords for detection
  EXPECT_EQ(CorrectBlock(bad.data(), 26, 7, 3), 3);
  EXPECT_EQ(bad, good);
}

TEST(FormatBits, DecodesEveryWordWithUpToThreeBitErrors) {
  std::mt19937 rng(5);
  for (int d = 0; d < 32; ++d) {
    const uint32_t word = EncodeFormatBits(d >> 3, d & 7);
    for (int errors = 0; errors <= 3; ++errors)
      for (int trial = 0; trial < 30; ++trial) {
        uint32_t w = word;
        int flipped = 0;
        while (flipped < errors) {
          const uint32_t bit = 1u << (rng() % 15);
          if ((w ^ word) & bit) continue;
          w ^= bit;
          ++flipped;
        }
        int dist = -1;
        ASSERT_EQ(DecodeFormatBits(w, &dist), d);
        ASSERT_EQ(dist, errors);
      }
  }
  // a known word: level M, mask 5 as printed in symbols
  EXPECT_EQ(EncodeFormatBits(0, 5), 0x40CEu);
}

TEST(FormatBits, RejectsWordsFourOrMoreBitsFromAnyCode) {
  int rejected = 0;
  for (uint32_t w = 0; w < (1u << 15); ++w) {
    int dist = 0;
    if (DecodeFormatBits(w, &dist) < 0) ++rejected;
    else ASSERT_LE(dist, 3);
  }
  EXPECT_GT(rejected, 0);
}

TEST(VersionBits, DecodesEveryVersionWithUpToThreeBitErrors) {
  std::mt19937 rng(9);
  EXPECT_EQ(EncodeVersionBits(7), 0x07C94u);
  EXPECT_EQ(EncodeVersionBits(40), 0x28C69u);
  for (int v = 7; v <= 40; ++v) {
    const uint32_t word = EncodeVersionBits(v);
    for (int errors = 0; errors <= 3; ++errors)
      for (int trial = 0; trial < 30; ++trial) {
        uint32_t w = word;
        int flipped = 0;
        while (flipped < errors) {
          const uint32_t bit = 1u << (rng() % 18);
          if ((w ^ word) & bit) continue;
          w ^= bit;
          ++flipped;
        }
        ASSERT_EQ(DecodeVersionBits(w), v) << "version " << v << " errors " << errors;
      }
  }
  EXPECT_EQ(DecodeVersionBits(EncodeVersionBits(7) ^ 0xF), -1);  // four bits off
}

TEST(Tables, BlockLayoutsAddUpForEveryVersionAndLevel) {
  for (int v = 1; v <= 40; ++v) {
    // the closed-form module count against the function-pattern map
    int raw = 0;
    for (uint8_t f : FunctionMask(v)) raw += f ? 0 : 1;
    ASSERT_EQ(RawDataModules(v), raw) << v;
    for (int l = 0; l < 4; ++l) {
      const BlockLayout b = GetBlockLayout(v, static_cast<EcLevel>(l));
      ASSERT_GT(b.num_blocks, 0);
      const int long_blocks = b.num_blocks - b.num_short_blocks;
      ASSERT_EQ(b.num_short_blocks * (b.short_data_len + b.ecc_per_block) +
                    long_blocks * (b.short_data_len + 1 + b.ecc_per_block),
                b.total_codewords);
      ASSERT_LE(b.short_data_len + 1 + b.ecc_per_block, 255);
    }
  }
  // byte capacities of a few symbols (characters = (data bits - 4 - count bits) / 8)
  struct Cap {
    int version;
    EcLevel level;
    int data_codewords;
  };
  const Cap caps[] = {{1, EcLevel::L, 19}, {1, EcLevel::H, 9},     {5, EcLevel::Q, 62},   {10, EcLevel::M, 216},
                      {21, EcLevel::H, 406}, {40, EcLevel::L, 2956}, {40, EcLevel::H, 1276}};
  for (const Cap& c : caps) EXPECT_EQ(GetBlockLayout(c.version, c.level).data_codewords, c.data_codewords);
  EXPECT_EQ(AlignmentCentres(1), std::vector<int>{});
  EXPECT_EQ(AlignmentCentres(2), (std::vector<int>{6, 18}));
  EXPECT_EQ(AlignmentCentres(32), (std::vector<int>{6, 34, 60, 86, 112, 138}));
  EXPECT_EQ(AlignmentCentres(40), (std::vector<int>{6, 30, 58, 86, 114, 142, 170}));
}

// Bit-stream builder for segment tests.
struct Stream {
  std::vector<uint8_t> bits;
  Stream& Put(uint32_t v, int n) {
    for (int i = n - 1; i >= 0; --i) bits.push_back(static_cast<uint8_t>((v >> i) & 1));
    return *this;
  }
  std::vector<uint8_t> Bytes(size_t total = 0) const {
    std::vector<uint8_t> out((bits.size() + 7) / 8, 0);
    for (size_t i = 0; i < bits.size(); ++i)
      if (bits[i]) out[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
    while (out.size() < total) out.push_back(out.size() % 2 ? 0x11 : 0xEC);
    return out;
  }
};

struct SegmentCase {
  const char* name;
  int version;
  Stream stream;
  bool ok;
  std::string text;
};

TEST(Segments, ParsesEveryModeAndRejectsBrokenStreams) {
  const SegmentCase cases[] = {
      {"numeric 3+3+2 digits", 1, Stream().Put(1, 4).Put(8, 10).Put(12, 10).Put(345, 10).Put(67, 7).Put(0, 4), true,
       "01234567"},
      {"numeric single trailing digit", 1, Stream().Put(1, 4).Put(4, 10).Put(999, 10).Put(7, 4), true, "9997"},
      {"numeric wider count field at v10", 10, Stream().Put(1, 4).Put(2, 12).Put(42, 7), true, "42"},
      {"numeric triple above 999", 1, Stream().Put(1, 4).Put(3, 10).Put(1000, 10), false, ""},
      {"numeric pair above 99", 1, Stream().Put(1, 4).Put(2, 10).Put(100, 7), false, ""},
      {"alphanumeric pairs and a single", 1,
       Stream().Put(2, 4).Put(5, 9).Put(10 * 45 + 11, 11).Put(36 * 45 + 44, 11).Put(12, 6), true, "AB :C"},
      {"alphanumeric pair out of range", 1, Stream().Put(2, 4).Put(2, 9).Put(2025, 11), false, ""},
      {"byte UTF-8 passes through", 1,
       Stream().Put(4, 4).Put(3, 8).Put(0xC3, 8).Put(0xA9, 8).Put('x', 8), true, "\xC3\xA9x"},
      {"byte not UTF-8 reads as Latin-1", 1, Stream().Put(4, 4).Put(2, 8).Put(0xE9, 8).Put('x', 8), true,
       "\xC3\xA9x"},
      {"byte count beyond the data", 1, Stream().Put(4, 4).Put(200, 8).Put('x', 8), false, ""},
      {"kanji two characters", 1,
       // 0x8ABF (漢) - 0x8140 = 0x097F; 0xE1A9 (皓) - 0xC140 = 0x2069; 13 bits = high * 0xC0 + low
       Stream().Put(8, 4).Put(2, 8).Put(0x09 * 0xC0 + 0x7F, 13).Put(0x20 * 0xC0 + 0x69, 13), true,
       "\xE6\xBC\xA2\xE7\x9A\x93"},
      {"kanji value that is no character", 1, Stream().Put(8, 4).Put(1, 8).Put(0x1FFF, 13), false, ""},
      {"ECI 26 UTF-8", 1, Stream().Put(7, 4).Put(26, 8).Put(4, 4).Put(2, 8).Put(0xC3, 8).Put(0xA9, 8), true,
       "\xC3\xA9"},
      {"ECI 3 Latin-1 even when the bytes look like UTF-8", 1,
       Stream().Put(7, 4).Put(3, 8).Put(4, 4).Put(2, 8).Put(0xC3, 8).Put(0xA9, 8), true, "\xC3\x83\xC2\xA9"},
      {"ECI 20 Shift JIS bytes", 1,
       Stream().Put(7, 4).Put(20, 8).Put(4, 4).Put(3, 8).Put(0x8A, 8).Put(0xBF, 8).Put(0xB1, 8), true,
       "\xE6\xBC\xA2\xEF\xBD\xB1"},
      {"ECI 20 broken Shift JIS", 1, Stream().Put(7, 4).Put(20, 8).Put(4, 4).Put(1, 8).Put(0x8A, 8), false, ""},
      {"ECI two-byte designator", 1, Stream().Put(7, 4).Put(0x8000 | 26, 16).Put(4, 4).Put(1, 8).Put('a', 8), true,
       "a"},
      {"ECI reserved first byte", 1, Stream().Put(7, 4).Put(0xE0, 8), false, ""},
      {"mixed numeric, alphanumeric and byte", 2,
       Stream().Put(1, 4).Put(3, 10).Put(123, 10).Put(2, 4).Put(1, 9).Put(10, 6).Put(4, 4).Put(1, 8).Put('z', 8),
       true, "123Az"},
      {"FNC1 first position turns % into a group separator", 1,
       Stream().Put(5, 4).Put(2, 4).Put(3, 9).Put(1 * 45 + 38, 11).Put(2, 6), true, "1\x1D" "2"},
      {"unknown mode 0110", 1, Stream().Put(6, 4).Put(0, 20), false, ""},
      {"no terminator, stream ends after the data", 1, Stream().Put(4, 4).Put(1, 8).Put('q', 8), true, "q"},
  };
  for (const SegmentCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> bytes = c.stream.Bytes(c.stream.bits.size() % 8 == 0 && c.ok ? 0 : 0);
    ParsedData pd;
    ASSERT_EQ(ParseSegments(bytes.data(), static_cast<int>(bytes.size()), c.version, pd), c.ok);
    if (c.ok) {
      EXPECT_EQ(pd.utf8, c.text);
      EXPECT_FALSE(pd.has_sa);
    }
  }
}

TEST(Segments, StructuredAppendHeaderGivesPositionTotalAndParity) {
  const std::string part = "vantaro://A";
  int parity = 0;
  for (char ch : std::string("vantaro://ABCDEF")) parity ^= static_cast<uint8_t>(ch);
  Stream s;
  s.Put(3, 4).Put(1, 4).Put(2, 4).Put(static_cast<uint32_t>(parity), 8).Put(4, 4).Put(static_cast<uint32_t>(part.size()), 8);
  for (char ch : part) s.Put(static_cast<uint8_t>(ch), 8);
  s.Put(0, 4);
  const std::vector<uint8_t> bytes = s.Bytes(30);
  ParsedData pd;
  ASSERT_TRUE(ParseSegments(bytes.data(), static_cast<int>(bytes.size()), 2, pd));
  EXPECT_TRUE(pd.has_sa);
  EXPECT_EQ(pd.sa_position, 1);
  EXPECT_EQ(pd.sa_total, 3);
  EXPECT_EQ(pd.sa_parity, parity);
  EXPECT_EQ(pd.utf8, part);

  // a position beyond the total is not a sequence
  Stream bad;
  bad.Put(3, 4).Put(4, 4).Put(2, 4).Put(0, 8).Put(4, 4).Put(1, 8).Put('a', 8);
  const std::vector<uint8_t> bb = bad.Bytes();
  ParsedData pd2;
  EXPECT_FALSE(ParseSegments(bb.data(), static_cast<int>(bb.size()), 1, pd2));
}

TEST(Text, ConvertsShiftJisAndLatin1ToUtf8) {
  std::string out;
  ASSERT_TRUE(SjisToUtf8("a\x82\xA0\xB1\x81\x40", out));  // a, hiragana A, half-width katakana A, ideographic space
  EXPECT_EQ(out, "a\xE3\x81\x82\xEF\xBD\xB1\xE3\x80\x80");
  std::string bad;
  EXPECT_FALSE(SjisToUtf8("\x82", bad));
  EXPECT_EQ(Latin1ToUtf8("\xFF" "A"), "\xC3\xBF" "A");
  EXPECT_TRUE(IsValidUtf8("\xE2\x82\xAC"));
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));        // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));    // surrogate
}

}  // namespace
}  // namespace vantaro::qr
