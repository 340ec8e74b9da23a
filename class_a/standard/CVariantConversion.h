// CVariantConversion: converts a variant in place from one type to another.
//
// One rule per (from, to) pair of the nine variant types, chosen through a
// fixed 9 x 9 table; pairs that make no sense share _forbiddenConversion:
//
//   CVariant v(std::int64_t{300});
//   CVariantConversion::convert(v, CVariantType::kHexStore);   // bytes 01 2C
//   CVariantConversion::convert(v, CVariantType::kTime);       // time 300 (big-endian read)
//   CVariantConversion::convert(v, CVariantType::kEndpoint);   // raises "Invalid conversion."
//
// A rule writes the target value, the type and the subtype (general unless the
// rule says otherwise) only after the new value has been produced, so a
// conversion that raises leaves the variant unchanged. All failures are
// CException of module "standard" with class name "static".
//
// Type guessing (_guess) and the recognisers behind it live here too; they
// decide the type of every literal of the expression language, so they read
// without exceptions and, for ordinary literals, without heap allocation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "class_a/standard/CVariant.h"

namespace qvt {

class CVariantConversion {
 public:
  // convert: runs the table rule for (variant's type, type), also when both
  // codes already match (CVariant::convert skips that case). `hint` is the
  // separator for byte sequence to string (empty: the sequence's own). Raises
  // the rule's error; "Cannot convert variant from type '%1' to type '%2'."
  // ("No conversion for this combination.") would mean a hole in the table.
  static void convert(CVariant& variant, CVariantType type,
                      CVariantSubType subtype = CVariantSubType::kGeneral,
                      const std::string& hint = std::string());
  // booleanOf: the boolean a conversion of source gives (rules A1 to I1),
  // for every type but ip endpoint, whose conversion is forbidden; never
  // raises.
  static bool booleanOf(const CVariant& source) noexcept;
  // convertInto: `target` becomes `source` converted (source may be target).
  static void convertInto(const CVariant& source, CVariant& target, CVariantType type,
                          CVariantSubType subtype, const std::string& hint);

  // _guess: sets variant from already trimmed text by the first recogniser
  // that accepts it: quoted string, boolean, ip address, ip endpoint, number,
  // time, byte sequence, function name, else plain string. Raises "Cannot
  // interpret variant." ("Type cannot be deduced from an empty value.") for
  // empty text, and CHexStore's error for a byte sequence with a bad digit.
  static void _guess(std::string_view text, CVariant& variant);

  // Recognisers: each returns false (and leaves variant unchanged) when the
  // text is not of its type, and sets variant otherwise.
  // _readQuoted: text enclosed in double quotes; all leading and trailing
  // double quotes go.
  static bool _readQuoted(std::string_view text, CVariant& variant);
  // _readBoolean: "true" or "false" in any case.
  static bool _readBoolean(std::string_view text, CVariant& variant);
  // _readAddress: an IPv4 or IPv6 address, optionally in brackets and blanks;
  // subtype ipv4 or ipv6.
  static bool _readAddress(std::string_view text, CVariant& variant);
  // _readEndpoint: "address:port" split at the last ":", the port read with
  // atoi rules (0 only when written with "0" characters only; 1 to 65535).
  static bool _readEndpoint(std::string_view text, CVariant& variant);
  // _readNumber: base 10; "-n" and "+n" give an integer, "n" a uinteger;
  // the whole text within 64 bits.
  static bool _readNumber(std::string_view text, CVariant& variant);
  // _readTime: a UTC date text ("Thu Jan  1 00:00:00 1970").
  static bool _readTime(std::string_view text, CVariant& variant);
  // _readHexStore: at least three characters, the third "-" and neither of
  // the first two; the text is then read as a byte sequence, which raises for
  // a bad digit.
  static bool _readHexStore(std::string_view text, CVariant& variant);
  // _readFunctionName: "$" followed by at least one character; a string with
  // subtype function name.
  static bool _readFunctionName(std::string_view text, CVariant& variant);

  // _forbiddenConversion: raises "Cannot convert from type '%1' to '%2'."
  // ("Invalid conversion.").
  [[noreturn]] static void _forbiddenConversion(const CVariant& source, CVariant& target,
                                                CVariantType type, CVariantSubType subtype,
                                                const std::string& hint);
  // _hexstoreToTime: exactly 8 bytes, big-endian signed seconds; raises
  // "Cannot convert byte sequence '%1' to a time value." ("Invalid size.").
  static std::int64_t _hexstoreToTime(const CHexStore& bytes);
  // _hexstoreToInteger, _hexstoreToUInteger: 0 to 8 bytes as a big-endian
  // unsigned number; raise "Cannot convert byte sequence '%1' to an integer."
  // / "... to an unsigned integer." ("Integer overflow.") for more bytes.
  static std::int64_t _hexstoreToInteger(const CHexStore& bytes);
  static std::uint64_t _hexstoreToUInteger(const CHexStore& bytes);

 private:
  using Rule = void (*)(const CVariant& source, CVariant& target, CVariantType type,
                        CVariantSubType subtype, const std::string& hint);
  static Rule _rule(CVariantType from, CVariantType to) noexcept;

  static void _same(const CVariant&, CVariant&, CVariantType, CVariantSubType, const std::string&);
  static void _toBoolean(const CVariant&, CVariant&, CVariantType, CVariantSubType,
                         const std::string&);
  static void _toString(const CVariant&, CVariant&, CVariantType, CVariantSubType,
                        const std::string&);
  static void _toHexStore(const CVariant&, CVariant&, CVariantType, CVariantSubType,
                          const std::string&);
  static void _toInteger(const CVariant&, CVariant&, CVariantType, CVariantSubType,
                         const std::string&);
  static void _toUInteger(const CVariant&, CVariant&, CVariantType, CVariantSubType,
                          const std::string&);
  static void _toTime(const CVariant&, CVariant&, CVariantType, CVariantSubType,
                      const std::string&);
  static void _toAddress(const CVariant&, CVariant&, CVariantType, CVariantSubType,
                         const std::string&);
  static void _toEndpoint(const CVariant&, CVariant&, CVariantType, CVariantSubType,
                          const std::string&);
};

}  // namespace qvt
