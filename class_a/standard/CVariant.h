// CVariant: the dynamically typed value of the expression language.
//
// A variant holds one value of nine types (CVariantType): unknown, ip address,
// boolean, time, string, byte sequence, integer (signed 64-bit), ip endpoint or
// uinteger (unsigned 64-bit), plus a subtype (CVariantSubType). It is built
// from a typed value or from text, converts on demand (CVariantConversion),
// compares and computes:
//
//   CVariant a = CVariant::fromText("5");          // uinteger 5
//   CVariant b(CVariantType::kString, "abc");      // string "abc"
//   CVariant n(std::int64_t{5});                   // integer 5
//   (n + CVariant::fromText("\"3\"")).integer();   // 8: the right side converts
//   CVariant::fromText("10.0.0.1").subtype();      // ipv4
//
// Storage is a tagged union over the value classes: integers, booleans, times,
// addresses, endpoints, byte sequences up to 64 bytes and strings up to
// CVariantText::kInlineCapacity bytes are made, copied and assigned without
// heap allocation.
//
// Operators follow fixed per-type rules. Before ==, <, and the binary
// arithmetic and bitwise operators, a right operand of another type or
// subtype is converted (a copy) to the left operand's type and subtype. A
// refused operation raises CException "Cannot perform '<name>' (<symbol>) on
// <type> values." with reason "Illegal operation." (module "standard",
// operation "CVariant::operator<symbol>"); an unknown left operand raises
// "... on variant values." with reason "Left variant operand has unknown type.".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "class_a/standard/CEndpoint.h"
#include "class_a/standard/CHexStore.h"
#include "class_a/standard/CIPAddress.h"
#include "class_a/standard/CTimeT.h"
#include "class_a/standard/CVariantSubType.h"
#include "class_a/standard/CVariantText.h"
#include "class_a/standard/CVariantType.h"

namespace qvt {

class CVariant {
 public:
  // CVariant: unknown.
  CVariant() noexcept = default;
  // CVariant(type): that type holding its empty value (0, false, time 0, empty
  // text or bytes, an address of no type, an empty endpoint); subtype general.
  explicit CVariant(CVariantType type);
  explicit CVariant(CVariantType::Code type) : CVariant(CVariantType(type)) {}
  // Integral values: signed types give an integer, unsigned types a uinteger.
  template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>, int> = 0>
  explicit CVariant(T value) noexcept {
    if constexpr (std::is_signed_v<T>) {
      value_.template emplace<CVariantType::kInteger>(static_cast<std::int64_t>(value));
    } else {
      value_.template emplace<CVariantType::kUInteger>(static_cast<std::uint64_t>(value));
    }
  }
  // A boolean; only a real bool matches (no pointer, enum or text turns into
  // a boolean variant by accident).
  template <class B, std::enable_if_t<std::is_same_v<B, bool>, int> = 0>
  explicit CVariant(B value) noexcept
      : value_(std::in_place_index<CVariantType::kBoolean>, value) {}
  explicit CVariant(const CTimeT& value) noexcept
      : value_(std::in_place_index<CVariantType::kTime>, TimeValue{value.seconds()}) {}
  explicit CVariant(const CHexStore& value)
      : value_(std::in_place_index<CVariantType::kHexStore>, value) {}
  explicit CVariant(CHexStore&& value) noexcept
      : value_(std::in_place_index<CVariantType::kHexStore>, std::move(value)) {}
  explicit CVariant(const CEndpoint& value)
      : value_(std::in_place_index<CVariantType::kEndpoint>, value) {}
  // CVariant(address): an ip address with subtype ipv4 or ipv6. Raises
  // "Cannot determine variant subtype from ip address type." for an address
  // of no type.
  explicit CVariant(const CIPAddress& value);
  // CVariant(hint, text): with the hint string, the text is stored unchanged
  // as a string. Otherwise the variant takes the hint as its type and is
  // assigned from the text (see assign). Raises as assign.
  CVariant(CVariantType hint, const std::string& text);

  // fromText: the type guessed from text (the hint unknown).
  static CVariant fromText(std::string_view text);
  // fromString: a string variant holding exactly `text`.
  static CVariant fromString(std::string_view text,
                             CVariantSubType subtype = CVariantSubType::kGeneral);

  CVariant(const CVariant&) = default;
  CVariant(CVariant&&) noexcept = default;
  CVariant& operator=(const CVariant&) = default;
  CVariant& operator=(CVariant&&) noexcept = default;
  virtual ~CVariant() = default;

  // assign: the text is trimmed (leading spaces, then leading tabs, then
  // leading single quotes; then the same at the end). An unknown variant then
  // guesses its type (CVariantConversion::_guess); any other reads the text
  // as its current type (_require; a string only loses its surrounding double
  // quotes). Raises "Cannot interpret variant." for empty text when guessing,
  // "Cannot assign variant from text." when the text is not of the type, and
  // the errors of the value classes (a byte sequence with a bad digit).
  void assign(std::string_view text);

  // reset: back to unknown with subtype general.
  void reset() noexcept;
  // setBoolean, setInteger, setHexStore, setString: the variant becomes the
  // value, subtype general: the same as assigning CVariant(value) (for a
  // string, CVariant::fromString(text)), built in place without a temporary
  // (a value of the same type is overwritten, keeping its storage).
  void setBoolean(bool value) noexcept { _put<CVariantType::kBoolean>(value); }
  void setInteger(std::int64_t value) noexcept { _put<CVariantType::kInteger>(value); }
  void setHexStore(const CHexStore& value) { _put<CVariantType::kHexStore>(value); }
  void setString(std::string_view text) {
    if (CVariantText* stored = std::get_if<CVariantType::kString>(&value_)) {
      stored->assign(text);
    } else {
      value_.template emplace<CVariantType::kString>(text);
    }
    subtype_ = CVariantSubType::kGeneral;
  }

  // type, subtype: the current codes.
  CVariantType type() const noexcept { return _typeOf(value_.index()); }
  CVariantSubType subtype() const noexcept { return subtype_; }
  // setType: sets the type without converting; a different type starts from
  // its empty value. setSubtype: sets the subtype only.
  void setType(CVariantType type);
  void setSubtype(CVariantSubType subtype) noexcept { subtype_ = subtype; }

  // Type tests.
  bool isKnown() const noexcept { return value_.index() != CVariantType::kUnknown; }
  bool is(CVariantType type) const noexcept { return value_.index() == type.value(); }
  bool isIPAddress() const noexcept { return is(CVariantType::kIPAddress); }
  bool isBoolean() const noexcept { return is(CVariantType::kBoolean); }
  bool isTime() const noexcept { return is(CVariantType::kTime); }
  bool isString() const noexcept { return is(CVariantType::kString); }
  bool isHexStore() const noexcept { return is(CVariantType::kHexStore); }
  bool isInteger() const noexcept { return is(CVariantType::kInteger); }
  bool isEndpoint() const noexcept { return is(CVariantType::kEndpoint); }
  bool isUInteger() const noexcept { return is(CVariantType::kUInteger); }
  bool isFunctionName() const noexcept {
    return isString() && subtype_ == CVariantSubType::kFunctionName;
  }

  // Typed getters: the stored value when the type matches; otherwise a copy
  // is converted to the type (CVariantConversion) and its value returned. The
  // variant itself never changes. Each raises the conversion's errors.
  //
  // ipaddress: for an ip address, its address, first mapped to `family`'s
  // address type when `family` is ipv4 or ipv6 and keepFamily is false
  // (CIPAddress::mapTo raises when that is impossible). For another type,
  // `family` must be ipv4 or ipv6 and selects the conversion's subtype; with
  // any other family it raises "Cannot convert variant '%1' (type '%2') to an
  // ip address." (reason "No explicit target address family specified.",
  // operation "CVariant::ipaddress").
  CIPAddress ipaddress(CVariantSubType family = CVariantSubType::kGeneral,
                       bool keepFamily = false) const;
  bool boolean() const;
  CTimeT time() const;
  // string: the text form; a non-empty separator replaces a byte sequence's
  // own separator between its bytes.
  std::string string(const std::string& separator = std::string()) const;
  CHexStore hexstore() const;
  std::int64_t integer() const;
  CEndpoint endpoint() const;
  std::uint64_t uinteger() const;

  // stringView: the stored text of a string variant, without copying; an
  // empty view for every other type (use string() for their text form).
  std::string_view stringView() const noexcept {
    const CVariantText* text = std::get_if<CVariantType::kString>(&value_);
    return text ? text->view() : std::string_view();
  }

  // raw_data, raw_len: the value's bytes (address bytes; one byte 0 or 1; the
  // seconds, integer or uinteger in machine order; the text without
  // terminator; the byte sequence; the endpoint's socket address). Unknown
  // raises "Cannot retrieve variant raw data." / "Cannot retrieve variant raw
  // length." (reason "Unknown variant type '%1'."). raw_data of an empty text
  // or byte sequence may be null.
  const void* raw_data() const;
  std::size_t raw_len() const;

  // convert: converts in place to type and subtype (nothing happens when both
  // already match). `hint` is the separator used for byte sequence to string.
  // Raises the conversion's errors; the variant is then unchanged.
  void convert(CVariantType type, CVariantSubType subtype = CVariantSubType::kGeneral,
               const std::string& hint = std::string());

  // typeName: the name of a type code as messages use it ("ip address").
  static const char* typeName(CVariantType type) noexcept { return type.name(); }

  // Comparison. Two unknown variants are equal, an unknown and a known one
  // unequal. "<" orders ip addresses, times, strings (unsigned bytes, prefix
  // first), integers and uintegers, and raises for the other types. "<="
  // is "<" or "=="; ">" is neither "<" nor "=="; ">=" is not "<" (so each of
  // them raises where "<" does).
  bool operator==(const CVariant& right) const;
  bool operator!=(const CVariant& right) const { return !(*this == right); }
  bool operator<(const CVariant& right) const;
  bool operator<=(const CVariant& right) const;
  bool operator>(const CVariant& right) const;
  bool operator>=(const CVariant& right) const;

  // Arithmetic and bitwise operators: a new variant of the left operand's type
  // and subtype. Integers wrap at 64 bits. Division by zero and the smallest
  // integer divided by -1 raise "Cannot perform 'division' (/) on integer
  // values." (or "uinteger values.") with reason "Illegal operation.".
  CVariant operator+(const CVariant& right) const;
  CVariant operator-(const CVariant& right) const;
  CVariant operator*(const CVariant& right) const;
  CVariant operator/(const CVariant& right) const;
  CVariant operator|(const CVariant& right) const;
  CVariant operator&(const CVariant& right) const;
  CVariant operator^(const CVariant& right) const;
  // operator~: bitwise inverse of an integer, uinteger or ip address.
  CVariant operator~() const;
  // operator-: negation of an integer (wrapping), or of a uinteger giving an
  // integer.
  CVariant operator-() const;

  // Logical operators: booleans of the operands converted to boolean. Both
  // operands are always converted (no short circuit).
  CVariant operator!() const;
  CVariant operator&&(const CVariant& right) const;
  CVariant operator||(const CVariant& right) const;

  // _require: reads text as the hinted type (the recognisers of type
  // guessing). Raises "Cannot assign variant from text." with the reason of
  // the refused type, or "Unknown data type hint '%1'." for a hint that has
  // no reader.
  static void _require(CVariantType hint, std::string_view text, CVariant& variant);
  // _stringToInteger, _stringToUInteger: scanf "%lli" / "%llu" reading of
  // text (prefixes for %lli, wrapping "-" for %llu, saturation on overflow,
  // trailing characters ignored). Raise "Cannot convert variant value '%1' to
  // type '%2'." ("Value is not an integer.") when no number can be read.
  static std::int64_t _stringToInteger(std::string_view text);
  static std::uint64_t _stringToUInteger(std::string_view text);

 private:
  friend class CVariantConversion;

  struct TimeValue {
    std::int64_t seconds;
  };
  // The alternatives sit at the index of their type code.
  using Value = std::variant<std::monostate, CIPAddress, bool, TimeValue, CVariantText, CHexStore,
                             std::int64_t, CEndpoint, std::uint64_t>;

  static CVariantType _typeOf(std::size_t index) noexcept {
    return index < CVariantType::kCount ? CVariantType(static_cast<CVariantType::Code>(index))
                                        : CVariantType();
  }
  template <std::size_t I, class T>
  void _set(T&& value, CVariantSubType subtype) {
    value_.template emplace<I>(std::forward<T>(value));
    subtype_ = subtype;
  }
  // _put: value in alternative I, assigned over a value of the same type.
  template <std::size_t I, class T>
  void _put(const T& value) {
    if (auto* stored = std::get_if<I>(&value_)) {
      *stored = value;
    } else {
      value_.template emplace<I>(value);
    }
    subtype_ = CVariantSubType::kGeneral;
  }
  template <std::size_t I>
  const auto& _get() const noexcept {
    return *std::get_if<I>(&value_);
  }
  // _converted: a copy of this variant converted to type (subtype general).
  CVariant _converted(CVariantType type, const std::string& hint = std::string()) const;
  // A value of alternative I with a subtype.
  template <std::size_t I, class V>
  CVariant(std::in_place_index_t<I> tag, V&& value, CVariantSubType subtype)
      : value_(tag, std::forward<V>(value)), subtype_(subtype) {}
  // _make: a result of the left operand's type and subtype.
  template <std::size_t I, class V>
  CVariant _make(V&& value) const {
    return CVariant(std::in_place_index<I>, std::forward<V>(value), subtype_);
  }
  // _sameKind: same type and subtype, so no operand alignment is needed.
  bool _sameKind(const CVariant& right) const noexcept {
    return value_.index() == right.value_.index() && subtype_ == right.subtype_;
  }
  // _alignedCopy: a copy of right converted to this variant's type and subtype.
  CVariant _alignedCopy(const CVariant& right) const;
  // Operator bodies on aligned operands.
  bool _equal(const CVariant& right) const;
  bool _less(const CVariant& right) const;
  CVariant _add(const CVariant& right) const;
  CVariant _subtract(const CVariant& right) const;
  CVariant _multiply(const CVariant& right) const;
  CVariant _divide(const CVariant& right) const;
  // _bitwise: |, & or ^ (op 0, 1, 2).
  CVariant _bitwise(const CVariant& right, int op) const;

  Value value_;
  CVariantSubType subtype_;
};

}  // namespace qvt
