#pragma once
#include <cstdint>

namespace vantaro::qr {

// Arithmetic in GF(256) with the field polynomial x^8 + x^4 + x^3 + x^2 + 1.
uint8_t GfMul(uint8_t a, uint8_t b);
uint8_t GfExp(int power);  // alpha^power, any power >= 0
int GfLog(uint8_t value);  // value must not be 0

// Corrects a block of `length` codewords (data then `ecc` check codewords, highest degree first) in place.
// At most `max_errors` symbol errors are corrected. Returns the number of corrected codewords, or -1 when the
// block cannot be corrected (too many errors); the block is then left unchanged. A returned block always has
// all-zero syndromes.
int CorrectBlock(uint8_t* block, int length, int ecc, int max_errors);

// Check codewords for `data` (used by tests and by the fixture encoder).
void ComputeEcc(const uint8_t* data, int data_len, int ecc, uint8_t* out);

}  // namespace vantaro::qr
