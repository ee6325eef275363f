#include "qr/reed_solomon.h"

#include <cstring>

namespace vantaro::qr {
namespace {

struct Tables {
  uint8_t exp[512] = {};
  int log[256] = {};
  constexpr Tables() {
    int x = 1;
    for (int i = 0; i < 255; ++i) {
      exp[i] = static_cast<uint8_t>(x);
      log[x] = i;
      x <<= 1;
      if (x & 0x100) x ^= 0x11D;
    }
    for (int i = 255; i < 512; ++i) exp[i] = exp[i - 255];
    log[0] = -1;
  }
};

constexpr Tables kTables;
constexpr const Tables& T() { return kTables; }

uint8_t Inv(uint8_t a) { return T().exp[255 - T().log[a]]; }

}  // namespace

uint8_t GfMul(uint8_t a, uint8_t b) {
  if (a == 0 || b == 0) return 0;
  return T().exp[T().log[a] + T().log[b]];
}
uint8_t GfExp(int power) { return T().exp[power % 255]; }
int GfLog(uint8_t value) { return T().log[value]; }

void ComputeEcc(const uint8_t* data, int data_len, int ecc, uint8_t* out) {
  // Generator: product of (x - alpha^i), i = 0..ecc-1; coefficients highest degree first, leading 1 implied.
  uint8_t gen[256] = {0};
  gen[0] = 1;
  int deg = 0;
  for (int i = 0; i < ecc; ++i) {
    // multiply by (x + alpha^i)
    gen[deg + 1] = 0;
    for (int j = deg + 1; j >= 1; --j) gen[j] = static_cast<uint8_t>(gen[j] ^ GfMul(gen[j - 1], GfExp(i)));
    ++deg;
  }
  uint8_t rem[256] = {0};
  for (int i = 0; i < data_len; ++i) {
    const uint8_t factor = static_cast<uint8_t>(data[i] ^ rem[0]);
    std::memmove(rem, rem + 1, static_cast<size_t>(ecc - 1));
    rem[ecc - 1] = 0;
    for (int j = 0; j < ecc; ++j) rem[j] = static_cast<uint8_t>(rem[j] ^ GfMul(gen[j + 1], factor));
  }
  std::memcpy(out, rem, static_cast<size_t>(ecc));
}

int CorrectBlock(uint8_t* block, int length, int ecc, int max_errors) {
  if (length <= 0 || length > 255 || ecc <= 0 || ecc >= length) return -1;
  // Syndromes S_j = r(alpha^j); codeword i (from the start) is the coefficient of x^(length-1-i).
  uint8_t synd[256];
  bool clean = true;
  for (int j = 0; j < ecc; ++j) {
    uint8_t s = 0;
    const uint8_t a = GfExp(j);
    for (int i = 0; i < length; ++i) s = static_cast<uint8_t>(GfMul(s, a) ^ block[i]);
    synd[j] = s;
    if (s) clean = false;
  }
  if (clean) return 0;
  if (max_errors <= 0) return -1;

  // Berlekamp-Massey: error locator lambda(x), lowest degree first.
  uint8_t lambda[256] = {0}, prev[256] = {0}, tmp[256];
  lambda[0] = 1;
  prev[0] = 1;
  int L = 0, m = 1;
  uint8_t b = 1;
  for (int n = 0; n < ecc; ++n) {
    uint8_t d = synd[n];
    for (int i = 1; i <= L; ++i) d = static_cast<uint8_t>(d ^ GfMul(lambda[i], synd[n - i]));
    if (d == 0) {
      ++m;
      continue;
    }
    const uint8_t coef = GfMul(d, Inv(b));
    std::memcpy(tmp, lambda, sizeof(tmp));
    for (int i = 0; i + m < 256; ++i) lambda[i + m] = static_cast<uint8_t>(lambda[i + m] ^ GfMul(coef, prev[i]));
    if (2 * L <= n) {
      L = n + 1 - L;
      std::memcpy(prev, tmp, sizeof(prev));
      b = d;
      m = 1;
    } else {
      ++m;
    }
  }
  if (L == 0 || L > max_errors || 2 * L > ecc) return -1;

  // Chien search over the positions of the block: position i has locator X = alpha^(length-1-i).
  int positions[256];
  int found = 0;
  for (int i = 0; i < length; ++i) {
    const int p = length - 1 - i;
    // evaluate lambda at X^-1 = alpha^(255-p)
    const uint8_t xinv = GfExp((255 - p) % 255);
    uint8_t v = 0;
    for (int k = L; k >= 0; --k) v = static_cast<uint8_t>(GfMul(v, xinv) ^ lambda[k]);
    if (v == 0) {
      if (found >= L) return -1;
      positions[found++] = i;
    }
  }
  if (found != L) return -1;

  // Error evaluator omega(x) = S(x) * lambda(x) mod x^ecc, S(x) = sum S_j x^j.
  uint8_t omega[256] = {0};
  for (int i = 0; i < ecc; ++i) {
    uint8_t v = 0;
    for (int k = 0; k <= i && k <= L; ++k) v = static_cast<uint8_t>(v ^ GfMul(lambda[k], synd[i - k]));
    omega[i] = v;
  }
  // Forney with first root alpha^0: e = X * omega(X^-1) / lambda'(X^-1).
  uint8_t fixed[256];
  std::memcpy(fixed, block, static_cast<size_t>(length));
  for (int f = 0; f < found; ++f) {
    const int p = length - 1 - positions[f];
    const uint8_t x = GfExp(p);
    const uint8_t xinv = GfExp((255 - p) % 255);
    uint8_t num = 0;
    for (int k = ecc - 1; k >= 0; --k) num = static_cast<uint8_t>(GfMul(num, xinv) ^ omega[k]);
    // formal derivative: odd-degree terms only
    uint8_t den = 0;
    uint8_t xpow = 1;  // xinv^(k-1) for k = 1, 3, 5, ...
    const uint8_t xinv2 = GfMul(xinv, xinv);
    for (int k = 1; k <= L; k += 2) {
      den = static_cast<uint8_t>(den ^ GfMul(lambda[k], xpow));
      xpow = GfMul(xpow, xinv2);
    }
    if (den == 0) return -1;
    const uint8_t e = GfMul(x, GfMul(num, Inv(den)));
    fixed[positions[f]] = static_cast<uint8_t>(fixed[positions[f]] ^ e);
  }
  // Verify: the corrected block must be a codeword.
  for (int j = 0; j < ecc; ++j) {
    uint8_t s = 0;
    const uint8_t a = GfExp(j);
    for (int i = 0; i < length; ++i) s = static_cast<uint8_t>(GfMul(s, a) ^ fixed[i]);
    if (s) return -1;
  }
  std::memcpy(block, fixed, static_cast<size_t>(length));
  return found;
}

}  // namespace vantaro::qr
