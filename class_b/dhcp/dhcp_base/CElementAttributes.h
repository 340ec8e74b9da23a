// CElementAttributes: how each element of an option value is encoded on the
// wire (signedness, arrays, length prefixes, sub-option widths, bounds).
//
// The text form is key=value lines (CStringMap). A bound at its default (no
// bound) is written with an empty value and read back as the default:
//
//   CElementAttributes a;
//   a.string("signed=true\nmax_value=100");
//   a.minValue();  // -2147483648
#pragma once

#include <cstdint>
#include <limits>
#include <string>

#include "class_a/standard/CObject.h"

namespace qvt {

class CStringMap;

class CElementAttributes : public CObject {
 public:
  static constexpr std::int32_t kNoMinimum = std::numeric_limits<std::int32_t>::min();
  static constexpr std::int32_t kNoMaximum = std::numeric_limits<std::int32_t>::max();

  CElementAttributes() = default;
  ~CElementAttributes() override;

  // string(text): set(CStringMap(text)).
  void string(const std::string& text) override;
  // string(): the ten keys as key=value lines in key order; min_value and
  // max_value empty at their defaults.
  std::string string() const override;

  // set: reads every field from map, each absent (or empty) key giving its
  // default. Raises CNumberConversionException for a number out of its range.
  void set(const CStringMap& map);
  // write: sets the ten keys of map.
  void write(CStringMap& map) const;

  virtual void setNullTerminated(bool value) { nullTerminated_ = value; }
  virtual bool nullTerminated() const { return nullTerminated_; }
  virtual void setUnit(const std::string& value) { unit_ = value; }
  virtual const std::string& unit() const { return unit_; }
  virtual void setMinValue(std::int32_t value) { minValue_ = value; }
  virtual std::int32_t minValue() const { return minValue_; }
  virtual void setMaxValue(std::int32_t value) { maxValue_ = value; }
  virtual std::int32_t maxValue() const { return maxValue_; }
  virtual void setLenPrefixWidth(std::uint32_t value) { lenPrefixWidth_ = value; }
  virtual std::uint32_t lenPrefixWidth() const { return lenPrefixWidth_; }
  virtual void setSigned(bool value) { signed_ = value; }
  virtual bool isSigned() const { return signed_; }
  virtual void setArrayed(bool value) { arrayed_ = value; }
  virtual bool arrayed() const { return arrayed_; }
  virtual void setSubtagWidth(std::uint32_t value) { subtagWidth_ = value; }
  virtual std::uint32_t subtagWidth() const { return subtagWidth_; }
  virtual void setSublenWidth(std::uint32_t value) { sublenWidth_ = value; }
  virtual std::uint32_t sublenWidth() const { return sublenWidth_; }
  virtual void setSubtypeWidth(std::uint32_t value) { subtypeWidth_ = value; }
  virtual std::uint32_t subtypeWidth() const { return subtypeWidth_; }
  // assign: copies all ten fields of other.
  virtual void assign(const CElementAttributes& other);

  bool operator==(const CElementAttributes& other) const;
  bool operator!=(const CElementAttributes& other) const { return !(*this == other); }

 private:
  bool signed_ = false;
  bool arrayed_ = false;
  bool nullTerminated_ = false;
  std::uint32_t lenPrefixWidth_ = 0;
  std::uint32_t subtagWidth_ = 0;
  std::uint32_t sublenWidth_ = 0;
  std::uint32_t subtypeWidth_ = 0;
  std::string unit_;
  std::int32_t minValue_ = kNoMinimum;
  std::int32_t maxValue_ = kNoMaximum;
};

}  // namespace qvt
