#include "class_a/security/CSHA1.h"

#include <cstring>

#include "class_a/security/DigestBlocks.h"

namespace qvt {
namespace {

std::uint32_t rotateLeft(std::uint32_t x, unsigned n) {
  return (x << n) | (x >> (32 - n));
}

std::uint32_t loadBig(const unsigned char* bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
         (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

void storeBig(unsigned char* bytes, std::uint32_t word) {
  for (int i = 0; i < 4; ++i)
    bytes[i] = static_cast<unsigned char>(word >> (24 - 8 * i));
}

}  // namespace

CSHA1::CSHA1()
    : _state{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0},
      _countLow(0),
      _countHigh(0),
      _buffer{},
      _digest{} {}

void CSHA1::_transform(const unsigned char* block) {
  std::uint32_t w[80];
  for (int t = 0; t < 16; ++t)
    w[t] = loadBig(block + 4 * t);
  for (int t = 16; t < 80; ++t)
    w[t] = rotateLeft(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);

  std::uint32_t a = _state[0];
  std::uint32_t b = _state[1];
  std::uint32_t c = _state[2];
  std::uint32_t d = _state[3];
  std::uint32_t e = _state[4];
  for (int t = 0; t < 80; ++t) {
    std::uint32_t f;
    std::uint32_t k;
    if (t < 20) {
      f = (b & c) | (~b & d);
      k = 0x5A827999;
    } else if (t < 40) {
      f = b ^ c ^ d;
      k = 0x6ED9EBA1;
    } else if (t < 60) {
      f = (b & c) | (b & d) | (c & d);
      k = 0x8F1BBCDC;
    } else {
      f = b ^ c ^ d;
      k = 0xCA62C1D6;
    }
    const std::uint32_t temp = rotateLeft(a, 5) + f + e + w[t] + k;
    e = d;
    d = c;
    c = rotateLeft(b, 30);
    b = a;
    a = temp;
  }
  _state[0] += a;
  _state[1] += b;
  _state[2] += c;
  _state[3] += d;
  _state[4] += e;
}

void CSHA1::update(const unsigned char* bytes, std::size_t length) {
  const std::size_t used = (_countLow / 8) % 64;
  const std::uint64_t bits =
      (std::uint64_t{_countHigh} << 32 | _countLow) + static_cast<std::uint64_t>(length) * 8;
  _countLow = static_cast<std::uint32_t>(bits);
  _countHigh = static_cast<std::uint32_t>(bits >> 32);
  feedBlocks(_buffer, used, bytes, length,
             [this](const unsigned char* block) { _transform(block); });
}

void CSHA1::update(const CHexStore& bytes) {
  if (!bytes.empty()) update(bytes.data(), bytes.size());
}

CHexStore CSHA1::final() {
  unsigned char lengthBytes[8];
  storeBig(lengthBytes, _countHigh);
  storeBig(lengthBytes + 4, _countLow);

  const std::size_t used = (_countLow / 8) % 64;
  update(kDigestPadding, paddingLength(used));
  update(lengthBytes, sizeof lengthBytes);

  for (int i = 0; i < 5; ++i)
    storeBig(_digest + 4 * i, _state[i]);
  CHexStore digest(_digest, kDigestSize);
  std::memset(_state, 0, sizeof _state);
  std::memset(_buffer, 0, sizeof _buffer);
  std::memset(_digest, 0, sizeof _digest);
  _countLow = 0;
  _countHigh = 0;
  return digest;
}

}  // namespace qvt
