// CMD5: the MD5 message digest (RFC 1321).
//
//   CMD5 md5;
//   md5.update(bytes, length);   // any number of times
//   CHexStore digest = md5.final();  // 16 bytes; md5 is ready for a new message
//
// Input is hashed in 64-byte blocks as it arrives; nothing is allocated while
// hashing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "class_a/standard/CHexStore.h"

namespace qvt {

class CMD5 {
 public:
  static constexpr std::size_t kDigestSize = 16;

  // CMD5: the standard initial state, bit count 0.
  CMD5();

  // update: appends raw bytes to the message.
  void update(const unsigned char* bytes, std::size_t length);
  // update: appends the bytes of a byte sequence.
  void update(const CHexStore& bytes);

  // final: pads the message and returns its 16-byte digest (separator "-"),
  // then re-initialises the state so the object can hash a new message.
  CHexStore final();

 private:
  void _reset();
  void _transform(const unsigned char* block);

  std::uint32_t _state[4];
  std::uint64_t _count;  // message length in bits
  unsigned char _buffer[64];
  unsigned char _digest[kDigestSize];
};

}  // namespace qvt
