// CNumberConversion: checked text-to-number parsers of every width.
//
// The static parsers read the whole text or raise CNumberConversionException:
//
//   CNumberConversion::toUInt8("255");      // 255
//   CNumberConversion::toUInt8("256");      // raises "Value '256' overflows 8 bits."
//   CNumberConversion::toUInt64("ff", 16);  // 255
//
// The object form parses once and keeps sign, magnitude and validity, for
// callers that decide the value's type from its sign:
//
//   CNumberConversion n(" -5");
//   n.isValid();     // true
//   n.isNegative();  // true
//   n.magnitude();   // 5
//
// The try* helpers give the same answers without raising and without
// allocating, for hot paths that only ask "is this a number?".
#pragma once

#include <cstdint>
#include <string>

namespace qvt {

class CNumberConversion {
 public:
  // CNumberConversion: parses text once. Leading white space is removed; a
  // leading "-" sets hasSign and isNegative, a leading "+" sets hasSign. A
  // signed text must fit a signed 64-bit number (magnitude up to 2^63 when
  // negative, 2^63 - 1 otherwise), an unsigned one an unsigned 64-bit number.
  // isValid is set when the whole text was read. Never raises.
  explicit CNumberConversion(const std::string& text, int base = 10);

  const std::string& text() const noexcept { return text_; }
  bool hasSign() const noexcept { return hasSign_; }
  bool isNegative() const noexcept { return isNegative_; }
  bool isValid() const noexcept { return isValid_; }
  // magnitude: the absolute value read (0 when invalid).
  std::uint64_t magnitude() const noexcept { return magnitude_; }
  // value: the magnitude; raises CNumberConversionException "Cannot
  // deserialize number from text." ("Value '%1' is not a valid number.") when
  // the text was not valid.
  std::uint64_t value() const;

  // toUInt64: the whole text as unsigned 64-bit (leading white space and a
  // "+" allowed, as strtoull). Raises "Cannot deserialize number from text."
  // ("Invalid format '%1' appears signed.") when the text contains "-", and
  // "Cannot deserialize number '%1' from text." with the system text of the
  // error (EINVAL when the text is empty or not wholly read, ERANGE when out
  // of range) otherwise.
  static std::uint64_t toUInt64(const std::string& text, int base = 10);
  // toInt64: the whole text as signed 64-bit; raises as toUInt64 for an
  // incomplete or out-of-range number.
  static std::int64_t toInt64(const std::string& text, int base = 10);

  // Narrower signed parsers: toInt64, then the range check. Outside the range
  // each raises "Cannot deserialize number from text." with reason "Value '%1'
  // overflows N bits." under its own operation name.
  static std::int32_t toLong(const std::string& text, int base = 10);
  static std::int32_t toInt(const std::string& text, int base = 10);
  static std::int32_t toInt32(const std::string& text, int base = 10);
  static std::int16_t toShort(const std::string& text, int base = 10);
  static std::int16_t toInt16(const std::string& text, int base = 10);
  static std::int8_t toInt8(const std::string& text, int base = 10);

  // Narrower unsigned parsers: toUInt64, then the range check (as above).
  static std::uint32_t toULong(const std::string& text, int base = 10);
  static std::uint32_t toUInt(const std::string& text, int base = 10);
  static std::uint32_t toUInt32(const std::string& text, int base = 10);
  static std::uint16_t toUShort(const std::string& text, int base = 10);
  static std::uint16_t toUInt16(const std::string& text, int base = 10);
  static std::uint8_t toUInt8(const std::string& text, int base = 10);

  // toDouble: the whole text as strtod reads it; raises "Cannot deserialize
  // number '%1' from text." when nothing or not everything was read (EINVAL)
  // or on a range error (ERANGE).
  static double toDouble(const std::string& text);
  // toFloat: as toDouble; a finite value beyond the float range is a range
  // error as well.
  static float toFloat(const std::string& text);

  // toString: decimal text of a number ("%llu", "%lli", "%hhu", "%hhi").
  static std::string toString(std::uint64_t value);
  static std::string toString(std::int64_t value);
  static std::string toString(std::uint8_t value);
  static std::string toString(std::int8_t value);

  // tryParseUInt64: the characters [begin, end) as an unsigned number in base
  // 2 to 36 (or 0: prefix "0x" hexadecimal, "0" octal, else decimal): digits
  // only, with an optional leading "+" and, in base 16, an optional "0x"/"0X"
  // prefix. False for anything else, an empty range or
  // overflow; `out` is then unchanged. No white space is skipped.
  static bool tryParseUInt64(const char* begin, const char* end, std::uint64_t& out,
                             int base = 10) noexcept;
  // tryParseInt64: as tryParseUInt64 with an optional "-" or "+"; the value
  // must fit a signed 64-bit number.
  static bool tryParseInt64(const char* begin, const char* end, std::int64_t& out,
                            int base = 10) noexcept;
  // tryParseSigned: the object form's reading of [begin, end) without
  // raising or allocating: leading white space skipped, sign noted, magnitude
  // read (range rules of the constructor). False when not wholly valid.
  static bool tryParseSigned(const char* begin, const char* end, bool& hasSign, bool& isNegative,
                             std::uint64_t& magnitude, int base = 10) noexcept;

 private:
  std::string text_;
  std::uint64_t magnitude_ = 0;
  bool hasSign_ = false;
  bool isNegative_ = false;
  bool isValid_ = false;
};

}  // namespace qvt
