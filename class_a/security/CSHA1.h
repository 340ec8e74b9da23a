// CSHA1: the SHA-1 message digest (FIPS 180-1, RFC 3174).
//
//   CSHA1 sha1;
//   sha1.update(bytes, length);       // any number of times
//   CHexStore digest = sha1.final();  // 20 bytes; sha1 is spent afterwards
//
// Input is hashed in 64-byte blocks as it arrives; nothing is allocated while
// hashing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "class_a/standard/CHexStore.h"

namespace qvt {

class CSHA1 {
 public:
  static constexpr std::size_t kDigestSize = 20;

  // CSHA1: the standard initial state, bit count 0.
  CSHA1();

  // update: appends raw bytes to the message.
  void update(const unsigned char* bytes, std::size_t length);
  // update: appends the bytes of a byte sequence.
  void update(const CHexStore& bytes);

  // final: pads the message and returns its 20-byte digest (separator "-"),
  // then wipes state and buffer to zero: the object must not hash again.
  CHexStore final();

 private:
  void _transform(const unsigned char* block);

  std::uint32_t _state[5];
  std::uint32_t _countLow;   // message length in bits, low 32 bits
  std::uint32_t _countHigh;  // and high 32 bits
  unsigned char _buffer[64];
  unsigned char _digest[kDigestSize];
};

}  // namespace qvt
