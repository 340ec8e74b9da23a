// CByteReader: a bounds-checked cursor over received packet bytes.
//
// Every read checks the bytes left first, so a decoder built on it cannot read
// outside the packet. Offsets are absolute positions in the packet, also in a
// reader limited to one option's data, so errors can name where the bad byte
// sits:
//
//   CByteReader reader(payload.data(), payload.size(), kDhcp4Site);
//   const std::uint8_t op = reader.u8();
//   CByteReader option = reader.sub(length);   // the next `length` bytes
//   option.offset();                           // still counted from the packet start
//
// A read past the end raises the reader's site description with the reason
// "%1 bytes needed at offset %2, %3 left."; decoders normally check has()
// first and raise a more specific reason.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qvt::host {

// CDecodeSite: the operation and description that a decoding failure reports.
struct CDecodeSite {
  const char* operation;
  const char* description;
};

class CByteReader {
  static constexpr unsigned char kNoBytes[1] = {0};

 public:
  // CByteReader: `size` bytes at data; the first of them lies at packet
  // offset `base`. Without bytes data may be null; current() is never null.
  CByteReader(const unsigned char* data, std::size_t size, const CDecodeSite& site,
              std::size_t base = 0) noexcept
      : data_(data != nullptr ? data : kNoBytes),
        size_(data != nullptr ? size : 0),
        base_(base),
        site_(site) {}

  // offset: packet offset of the next byte.
  std::size_t offset() const noexcept { return base_ + position_; }
  // end: packet offset just past the last byte of this reader.
  std::size_t end() const noexcept { return base_ + size_; }
  // remaining: bytes not read yet.
  std::size_t remaining() const noexcept { return size_ - position_; }
  bool empty() const noexcept { return position_ == size_; }
  // has: whether `count` more bytes can be read.
  bool has(std::size_t count) const noexcept { return count <= remaining(); }
  // current: the next byte's address (valid for remaining() bytes).
  const unsigned char* current() const noexcept { return data_ + position_; }
  const CDecodeSite& site() const noexcept { return site_; }

  // u8 ... u64: the next big-endian unsigned number of 1, 2, 3, 4 or 8 bytes.
  // Raise CException (the site's description) when too few bytes are left.
  std::uint8_t u8();
  std::uint16_t u16();
  std::uint32_t u24();
  std::uint32_t u32();
  std::uint64_t u64();
  // number: the next big-endian unsigned number of `width` bytes (0 to 8);
  // width 0 gives 0. Raises as u8.
  std::uint64_t number(std::size_t width);
  // take: the address of the next `count` bytes, which are consumed. Raises
  // as u8.
  const unsigned char* take(std::size_t count);
  // skip: consumes `count` bytes. Raises as u8.
  void skip(std::size_t count) { take(count); }
  // sub: a reader of the next `count` bytes, which this reader consumes.
  // Raises as u8.
  CByteReader sub(std::size_t count);
  // peek: the byte `ahead` positions after the next one, without consuming.
  // Raises as u8.
  std::uint8_t peek(std::size_t ahead = 0) const;

  // need: raises unless `count` more bytes are left.
  void need(std::size_t count) const;

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::size_t base_;
  std::size_t position_ = 0;
  CDecodeSite site_;
};

}  // namespace qvt::host
