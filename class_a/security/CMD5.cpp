#include "class_a/security/CMD5.h"

#include <cstring>

#include "class_a/security/DigestBlocks.h"

namespace qvt {
namespace {

// kSines: floor(abs(sin(i + 1)) * 2^32) for the 64 steps.
constexpr std::uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

// kShifts: left-rotation amounts, four per round.
constexpr unsigned kShifts[4][4] = {
    {7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

std::uint32_t rotateLeft(std::uint32_t x, unsigned n) {
  return (x << n) | (x >> (32 - n));
}

std::uint32_t loadLittle(const unsigned char* bytes) {
  return std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
         (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
}

void storeLittle(unsigned char* bytes, std::uint32_t word) {
  for (int i = 0; i < 4; ++i)
    bytes[i] = static_cast<unsigned char>(word >> (8 * i));
}

}  // namespace

CMD5::CMD5() {
  _reset();
}

void CMD5::_reset() {
  _state[0] = 0x67452301;
  _state[1] = 0xefcdab89;
  _state[2] = 0x98badcfe;
  _state[3] = 0x10325476;
  _count = 0;
  std::memset(_buffer, 0, sizeof _buffer);
  std::memset(_digest, 0, sizeof _digest);
}

void CMD5::_transform(const unsigned char* block) {
  std::uint32_t x[16];
  for (int i = 0; i < 16; ++i)
    x[i] = loadLittle(block + 4 * i);

  std::uint32_t a = _state[0];
  std::uint32_t b = _state[1];
  std::uint32_t c = _state[2];
  std::uint32_t d = _state[3];
  for (unsigned step = 0; step < 64; ++step) {
    const unsigned round = step / 16;
    std::uint32_t f;
    unsigned word;
    switch (round) {
      case 0:
        f = (b & c) | (~b & d);
        word = step;
        break;
      case 1:
        f = (b & d) | (c & ~d);
        word = (5 * step + 1) % 16;
        break;
      case 2:
        f = b ^ c ^ d;
        word = (3 * step + 5) % 16;
        break;
      default:
        f = c ^ (b | ~d);
        word = (7 * step) % 16;
        break;
    }
    const std::uint32_t rotated =
        b + rotateLeft(a + f + kSines[step] + x[word], kShifts[round][step % 4]);
    a = d;
    d = c;
    c = b;
    b = rotated;
  }
  _state[0] += a;
  _state[1] += b;
  _state[2] += c;
  _state[3] += d;
}

void CMD5::update(const unsigned char* bytes, std::size_t length) {
  const std::size_t used = static_cast<std::size_t>((_count / 8) % 64);
  _count += static_cast<std::uint64_t>(length) * 8;
  feedBlocks(_buffer, used, bytes, length,
             [this](const unsigned char* block) { _transform(block); });
}

void CMD5::update(const CHexStore& bytes) {
  if (!bytes.empty()) update(bytes.data(), bytes.size());
}

CHexStore CMD5::final() {
  unsigned char lengthBytes[8];
  for (int i = 0; i < 8; ++i)
    lengthBytes[i] = static_cast<unsigned char>(_count >> (8 * i));

  const std::size_t used = static_cast<std::size_t>((_count / 8) % 64);
  update(kDigestPadding, paddingLength(used));
  update(lengthBytes, sizeof lengthBytes);

  for (int i = 0; i < 4; ++i)
    storeLittle(_digest + 4 * i, _state[i]);
  CHexStore digest(_digest, kDigestSize);
  _reset();
  return digest;
}

}  // namespace qvt
