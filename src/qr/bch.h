#pragma once
#include <cstdint>

namespace vantaro::qr {

// The 15-bit format word (after unmasking with 0x5412 removed) for a level indicator (2 bits as stored:
// L=1, M=0, Q=3, H=2) and a mask pattern, masked as it appears in a symbol.
uint32_t EncodeFormatBits(int level_bits, int mask);
// Nearest valid format word within 3 bit errors: returns the 5 data bits (level bits << 3 | mask) and the
// distance, or -1 when no valid word is that close.
int DecodeFormatBits(uint32_t raw15, int* distance = nullptr);

// The 18-bit version word for versions 7..40.
uint32_t EncodeVersionBits(int version);
// Nearest version (7..40) within 3 bit errors, or -1.
int DecodeVersionBits(uint32_t raw18, int* distance = nullptr);

}  // namespace vantaro::qr
