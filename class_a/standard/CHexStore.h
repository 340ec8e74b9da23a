// CHexStore: a byte sequence with a hexadecimal text form.
//
// The bytes are kept in a buffer with 64 bytes of inline storage, so the
// sequences of everyday DHCP traffic (hardware addresses, option payloads,
// digests) are copied without heap allocation. The text form writes each byte
// as two upper-case hexadecimal digits with the separator between bytes:
//
//   CHexStore h("0a-1b-2c");
//   h.string();                      // "0A-1B-2C"
//   CHexStore::toText(h, ":");       // "0A:1B:2C"
//
// Reading skips exactly as many characters as the separator has between two
// pairs, whatever they are, so "0a:1b" reads as 0A 1B with separator "-".
#pragma once

#include <cstddef>
#include <string>

#include "class_a/standard/CBuffer.h"
#include "class_a/standard/CObject.h"

namespace qvt {

class CHexStore : public CObject {
 public:
  using Bytes = CBuffer<unsigned char, 64>;

  // CHexStore: empty, with room for `capacity` bytes and the given separator.
  explicit CHexStore(std::size_t capacity = 16, std::string separator = "-");
  // CHexStore(text, separator): parses text (see parse); raises as parse does.
  explicit CHexStore(const std::string& text, std::string separator = "-");
  // CHexStore(bytes, length): a copy of raw bytes, separator "-".
  CHexStore(const unsigned char* bytes, std::size_t length);
  CHexStore(const CHexStore&) = default;
  CHexStore(CHexStore&&) noexcept = default;
  // Assignment copies the bytes, and the separator unless it is the same
  // text already (as it nearly always is).
  CHexStore& operator=(const CHexStore& other) {
    CObject::operator=(other);
    bytes_ = other.bytes_;
    if (separator_ != other.separator_) separator_ = other.separator_;
    return *this;
  }
  CHexStore& operator=(CHexStore&&) noexcept = default;
  ~CHexStore() override = default;

  // size: number of bytes.
  std::size_t size() const noexcept { return bytes_.size(); }
  bool empty() const noexcept { return bytes_.empty(); }
  // data: the first byte, or null for an empty sequence.
  const unsigned char* data() const noexcept { return bytes_.empty() ? nullptr : bytes_.data(); }
  unsigned char* data() noexcept { return bytes_.empty() ? nullptr : bytes_.data(); }
  // bytes: the underlying buffer (iteration, reserve).
  const Bytes& bytes() const noexcept { return bytes_; }
  Bytes& bytes() noexcept { return bytes_; }

  // clear: removes every byte; the separator stays.
  void clear() noexcept { bytes_.clear(); }
  // append: adds one byte, or `length` raw bytes, at the end.
  void append(unsigned char byte) { bytes_.push_back(byte); }
  void append(const unsigned char* bytes, std::size_t length) { bytes_.append(bytes, length); }
  // operator+=: appends the bytes of another sequence (its separator is ignored).
  CHexStore& operator+=(const CHexStore& other);

  // operator==: same length and bytes; separators do not matter.
  bool operator==(const CHexStore& other) const noexcept { return bytes_ == other.bytes_; }
  bool operator!=(const CHexStore& other) const noexcept { return !(*this == other); }
  // operator[]: the byte at index; index must be below size().
  unsigned char operator[](std::size_t index) const noexcept { return bytes_[index]; }
  unsigned char& operator[](std::size_t index) noexcept { return bytes_[index]; }

  // separator: the text written between two bytes and skipped between two pairs.
  const std::string& separator() const noexcept { return separator_; }
  void setSeparator(std::string separator) { separator_ = std::move(separator); }

  // string(): the text form: upper-case hex pairs joined by the separator;
  // empty for an empty sequence.
  std::string string() const override;
  // string(text): same as parse(text).
  void string(const std::string& text) override { parse(text); }

  // toText: the text form with another separator.
  static std::string toText(const CHexStore& store, const std::string& separator);

  // parse: replaces the bytes by those read from text. Empty text gives an
  // empty sequence. Otherwise pairs are read, each followed by as many
  // skipped characters as the separator has; reading stops when the text ends
  // right after a pair or right after the skipped characters. Raises
  // CException from _char2Nybble for any character that is no hexadecimal
  // digit, the end of the text included; the sequence is then left empty.
  virtual void parse(const std::string& text);

  // byteToHex: the two upper-case hexadecimal digits of a byte.
  virtual std::string byteToHex(unsigned char byte) const;

  // pairToByte: the byte of two hexadecimal digits (high nibble first);
  // raises as _char2Nybble.
  virtual unsigned char pairToByte(char high, char low) const;

  // _char2Nybble: the value of one hexadecimal digit ("0"-"9", "a"-"f",
  // "A"-"F"). Raises CException "Cannot convert character to nybble." with
  // reason "Invalid hexadecimal character '%1'." for anything else.
  static unsigned char _char2Nybble(char c);

  // appendHex: writes the text form of bytes to out (no allocation beyond
  // out's growth); used by string() and toText().
  static void appendHex(std::string& out, const unsigned char* bytes, std::size_t length,
                        const std::string& separator);

 private:
  Bytes bytes_;
  std::string separator_;
};

}  // namespace qvt
