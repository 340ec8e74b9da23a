// DigestBlocks: the 64-byte block buffering and the padding that MD5 and SHA-1
// share. The digests keep their own chaining words and bit counts; these
// functions only move bytes:
//
//   feedBlocks(_buffer, used, bytes, length,
//              [this](const unsigned char* block) { _transform(block); });
//   update(kDigestPadding, paddingLength(used));  // then the 8 length bytes
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace qvt {

// kDigestBlockSize: the block size of both digests, in bytes.
constexpr std::size_t kDigestBlockSize = 64;

// kDigestPadding: one 0x80 byte and zeros, the start of the padding.
inline constexpr unsigned char kDigestPadding[kDigestBlockSize] = {0x80};

// paddingLength: how many bytes of kDigestPadding bring a message holding
// `used` bytes of its last block (0 to 63) to 56 modulo 64, leaving room for
// the 8-byte length; 1 to 64.
constexpr std::size_t paddingLength(std::size_t used) {
  return used < 56 ? 56 - used : 120 - used;
}

// feedBlocks: appends `length` bytes to a block buffer that already holds
// `used` bytes, calling transform(block) for every completed block (from the
// buffer, or straight from `bytes` for whole blocks); the rest waits in the
// buffer.
template <class Transform>
void feedBlocks(unsigned char (&buffer)[kDigestBlockSize], std::size_t used,
                const unsigned char* bytes, std::size_t length, Transform&& transform) {
  if (used > 0) {
    const std::size_t take = std::min(length, kDigestBlockSize - used);
    std::memcpy(buffer + used, bytes, take);
    used += take;
    bytes += take;
    length -= take;
    if (used < kDigestBlockSize) return;
    transform(static_cast<const unsigned char*>(buffer));
  }
  for (; length >= kDigestBlockSize; bytes += kDigestBlockSize, length -= kDigestBlockSize)
    transform(bytes);
  if (length > 0) std::memcpy(buffer, bytes, length);
}

}  // namespace qvt
