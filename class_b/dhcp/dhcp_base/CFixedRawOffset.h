// CFixedRawOffset: one field at a fixed position inside an option's data,
// named by its tag: "tag,offset,length" in decimal ("7,1,1").
#pragma once

#include <cstdint>
#include <string>

namespace qvt {

class CFixedRawOffset {
 public:
  CFixedRawOffset() = default;
  CFixedRawOffset(std::uint32_t tag, std::uint32_t offset, std::uint32_t length)
      : tag_(tag), offset_(offset), length_(length) {}
  virtual ~CFixedRawOffset();

  // string(text): strips spaces, double quotes and backslashes from both
  // ends, then reads three comma-separated numbers as atoi does (text after
  // a third comma is ignored). Raises "Format '%1' does not describe a valid
  // fixed offset." when the tag, offset or length piece is missing or empty
  // (reason names the first one missing); the fields are then unchanged.
  virtual void string(const std::string& text);
  // string(): "tag,offset,length".
  virtual std::string string() const;

  std::uint32_t tag() const { return tag_; }
  std::uint32_t offset() const { return offset_; }
  std::uint32_t length() const { return length_; }
  void setTag(std::uint32_t tag) { tag_ = tag; }
  void setOffset(std::uint32_t offset) { offset_ = offset; }
  void setLength(std::uint32_t length) { length_ = length; }

  bool operator==(const CFixedRawOffset& other) const {
    return tag_ == other.tag_ && offset_ == other.offset_ && length_ == other.length_;
  }

 private:
  std::uint32_t tag_ = 0;
  std::uint32_t offset_ = 0;
  std::uint32_t length_ = 0;
};

}  // namespace qvt
