#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantaro::qr {

enum class EcLevel : int { L = 0, M = 1, Q = 2, H = 3 };

// Block layout of one version at one error-correction level.
struct BlockLayout {
  int total_codewords = 0;   // all codewords of the symbol
  int ecc_per_block = 0;     // error-correction codewords in every block
  int num_blocks = 0;        // number of blocks
  int num_short_blocks = 0;  // blocks with one data codeword fewer than the others
  int short_data_len = 0;    // data codewords in a short block
  int data_codewords = 0;    // data codewords of the whole symbol
  int misdecode_guard = 0;   // codewords kept for detection only (small versions): not spent on correction
};

inline int SymbolSize(int version) { return 17 + 4 * version; }
BlockLayout GetBlockLayout(int version, EcLevel level);
// Centre coordinates of the alignment patterns along one axis (empty for version 1).
std::vector<int> AlignmentCentres(int version);
// Modules that hold data or error-correction bits (everything but function patterns).
int RawDataModules(int version);

// Function-pattern map of a version: true where a module is not part of the codeword stream.
std::vector<uint8_t> FunctionMask(int version);

// Character-count field widths.
int CountBits(int mode_indicator, int version);

}  // namespace vantaro::qr
