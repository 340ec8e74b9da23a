#include "class_a/standard/CVariant.h"

#include <limits>

#include "class_a/standard/CVariantConversion.h"
#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

using T = CVariantType;

constexpr const char* kModule = "standard";

bool isSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// trim: leading spaces, then leading tabs, then leading single quotes; then
// the same at the end.
std::string_view trim(std::string_view text) {
  for (const char c : {' ', '\t', '\''}) {
    while (!text.empty() && text.front() == c)
      text.remove_prefix(1);
  }
  for (const char c : {' ', '\t', '\''}) {
    while (!text.empty() && text.back() == c)
      text.remove_suffix(1);
  }
  return text;
}

// operandWord: the type as the operator messages name it.
const char* operandWord(CVariantType type) {
  return type == T::kEndpoint ? "endpoint" : type == T::kUnknown ? "variant" : type.name();
}

std::string operatorText(const char* name, const char* symbol, CVariantType type) {
  return std::string("Cannot perform '") + name + "' (" + symbol + ") on " + operandWord(type) +
         " values.";
}

// The operators: operation, name in messages and symbol.
struct COperatorName {
  const char* operation;
  const char* name;
  const char* symbol;
};
constexpr COperatorName kLess{"CVariant::operator<", "less-than", "<"};
constexpr COperatorName kAdd{"CVariant::operator+", "addition", "+"};
constexpr COperatorName kSubtract{"CVariant::operator-", "subtraction", "-"};
constexpr COperatorName kMultiply{"CVariant::operator*", "multiplication", "*"};
constexpr COperatorName kDivide{"CVariant::operator/", "division", "/"};
constexpr COperatorName kOr{"CVariant::operator|", "bitwise-or", "|"};
constexpr COperatorName kAnd{"CVariant::operator&", "bitwise-and", "&"};
constexpr COperatorName kXor{"CVariant::operator^", "bitwise-xor", "^"};
constexpr COperatorName kInverse{"CVariant::operator~", "bitwise-inverse", "~"};
constexpr COperatorName kNegate{"CVariant::operator-", "unary-negation", "-"};

// scanNumber: the scanf "%lli" (isSigned) or "%llu" reading: white space,
// sign, then for %lli a "0x" (hexadecimal) or "0" (octal) prefix; digits up to
// the first that does not fit. Overflow saturates as strtoll/strtoull do.
bool scanNumber(std::string_view text, bool isSigned, std::uint64_t& bits) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  unsigned base = 10;
  bool digits = false;
  if (isSigned && i < text.size() && text[i] == '0') {
    digits = true;  // the "0" alone is a number
    ++i;
    base = 8;
    if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
      base = 16;
      ++i;
    }
  }
  std::uint64_t magnitude = 0;
  bool overflow = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      break;
    }
    if (digit >= base) break;
    digits = true;
    if (magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / base) overflow = true;
    magnitude = magnitude * base + digit;
  }
  if (!digits) return false;
  constexpr std::uint64_t kSignedLimit = std::uint64_t{1} << 63;
  if (isSigned) {
    if (overflow || magnitude > (negative ? kSignedLimit : kSignedLimit - 1)) {
      bits = negative ? kSignedLimit : kSignedLimit - 1;
    } else {
      bits = negative ? 0 - magnitude : magnitude;
    }
  } else if (overflow) {
    bits = std::numeric_limits<std::uint64_t>::max();
  } else {
    bits = negative ? 0 - magnitude : magnitude;
  }
  return true;
}

std::int64_t asSigned(std::uint64_t bits) {
  return static_cast<std::int64_t>(bits);
}

}  // namespace

CVariant::CVariant(CVariantType type) {
  setType(type);
}

CVariant::CVariant(const CIPAddress& value) : subtype_(CVariantSubType::type(value.addressType())) {
  value_.emplace<T::kIPAddress>(value);
}

CVariant::CVariant(CVariantType hint, const std::string& text) {
  if (hint == T::kString) {
    value_.emplace<T::kString>(text);
    return;
  }
  setType(hint);
  assign(text);
}

CVariant CVariant::fromText(std::string_view text) {
  CVariant variant;
  variant.assign(text);
  return variant;
}

CVariant CVariant::fromString(std::string_view text, CVariantSubType subtype) {
  CVariant variant;
  variant._set<T::kString>(CVariantText(text), subtype);
  return variant;
}

void CVariant::assign(std::string_view text) {
  text = trim(text);
  if (isKnown()) {
    _require(type(), text, *this);
  } else {
    CVariantConversion::_guess(text, *this);
  }
}

void CVariant::reset() noexcept {
  value_.emplace<T::kUnknown>();
  subtype_ = CVariantSubType::kGeneral;
}

void CVariant::setType(CVariantType type) {
  if (is(type)) return;
  switch (type) {
    case T::kUnknown:
      value_.emplace<T::kUnknown>();
      break;
    case T::kIPAddress:
      value_.emplace<T::kIPAddress>();
      break;
    case T::kBoolean:
      value_.emplace<T::kBoolean>(false);
      break;
    case T::kTime:
      value_.emplace<T::kTime>(TimeValue{0});
      break;
    case T::kString:
      value_.emplace<T::kString>();
      break;
    case T::kHexStore:
      value_.emplace<T::kHexStore>();
      break;
    case T::kInteger:
      value_.emplace<T::kInteger>(0);
      break;
    case T::kEndpoint:
      value_.emplace<T::kEndpoint>();
      break;
    case T::kUInteger:
      value_.emplace<T::kUInteger>(0u);
      break;
  }
}

// Getters --------------------------------------------------------------------

CVariant CVariant::_converted(CVariantType type, const std::string& hint) const {
  CVariant result;
  CVariantConversion::convertInto(*this, result, type, CVariantSubType::kGeneral, hint);
  return result;
}

CIPAddress CVariant::ipaddress(CVariantSubType family, bool keepFamily) const {
  if (isIPAddress()) {
    CIPAddress address = _get<T::kIPAddress>();
    if (!keepFamily && family.isAddressFamily()) {
      const std::uint32_t target = CVariantSubType::addressType(family);
      if (address.addressType() != target) address.mapTo(target);
    }
    return address;
  }
  if (!family.isAddressFamily()) {
    std::string text;
    try {
      text = string();
    } catch (const CException&) {
      // The message names the variant as far as it has a text form.
    }
    fail(CRaiser::of(*this), kModule, "CVariant::ipaddress",
         {"Cannot convert variant '%1' (type '%2') to an ip address.", text, type().name()},
         "No explicit target address family specified.");
  }
  CVariant result;
  CVariantConversion::convertInto(*this, result, T::kIPAddress, family, std::string());
  return result._get<T::kIPAddress>();
}

bool CVariant::boolean() const {
  // Every conversion to boolean but the forbidden one of an endpoint is read
  // without a converted copy.
  if (isEndpoint()) return _converted(T::kBoolean)._get<T::kBoolean>();
  return CVariantConversion::booleanOf(*this);
}

CTimeT CVariant::time() const {
  return CTimeT(isTime() ? _get<T::kTime>().seconds
                         : _converted(T::kTime)._get<T::kTime>().seconds);
}

std::string CVariant::string(const std::string& separator) const {
  if (isString()) return _get<T::kString>().str();
  return _converted(T::kString, separator)._get<T::kString>().str();
}

CHexStore CVariant::hexstore() const {
  if (isHexStore()) return _get<T::kHexStore>();
  CVariant result = _converted(T::kHexStore);
  return std::move(*std::get_if<T::kHexStore>(&result.value_));
}

std::int64_t CVariant::integer() const {
  // A uinteger gives its 64 bits, a boolean 1 or 0, without a converted copy.
  switch (type()) {
    case T::kInteger:
      return _get<T::kInteger>();
    case T::kUInteger:
      return static_cast<std::int64_t>(_get<T::kUInteger>());
    case T::kBoolean:
      return _get<T::kBoolean>() ? 1 : 0;
    default:
      return _converted(T::kInteger)._get<T::kInteger>();
  }
}

CEndpoint CVariant::endpoint() const {
  return isEndpoint() ? _get<T::kEndpoint>() : _converted(T::kEndpoint)._get<T::kEndpoint>();
}

std::uint64_t CVariant::uinteger() const {
  // An integer gives its 64 bits, a boolean 1 or 0, without a converted copy.
  switch (type()) {
    case T::kUInteger:
      return _get<T::kUInteger>();
    case T::kInteger:
      return static_cast<std::uint64_t>(_get<T::kInteger>());
    case T::kBoolean:
      return _get<T::kBoolean>() ? 1 : 0;
    default:
      return _converted(T::kUInteger)._get<T::kUInteger>();
  }
}

const void* CVariant::raw_data() const {
  switch (type()) {
    case T::kIPAddress:
      return _get<T::kIPAddress>().raw_addr();
    case T::kBoolean:
      return &_get<T::kBoolean>();
    case T::kTime:
      return &_get<T::kTime>().seconds;
    case T::kString:
      return _get<T::kString>().data();
    case T::kHexStore:
      return _get<T::kHexStore>().data();
    case T::kInteger:
      return &_get<T::kInteger>();
    case T::kEndpoint:
      return _get<T::kEndpoint>().rawSockaddr();
    case T::kUInteger:
      return &_get<T::kUInteger>();
    default:
      fail(CRaiser::of(*this), kModule, "CVariant::raw_data", "Cannot retrieve variant raw data.",
           {"Unknown variant type '%1'.", type().name()});
  }
}

std::size_t CVariant::raw_len() const {
  switch (type()) {
    case T::kIPAddress:
      return _get<T::kIPAddress>().raw_len();
    case T::kBoolean:
      return 1;
    case T::kTime:
    case T::kInteger:
    case T::kUInteger:
      return 8;
    case T::kString:
      return _get<T::kString>().size();
    case T::kHexStore:
      return _get<T::kHexStore>().size();
    case T::kEndpoint:
      return _get<T::kEndpoint>().rawSockaddrLen();
    default:
      fail(CRaiser::of(*this), kModule, "CVariant::raw_len", "Cannot retrieve variant raw length.",
           {"Unknown variant type '%1'.", type().name()});
  }
}

void CVariant::convert(CVariantType type, CVariantSubType subtype, const std::string& hint) {
  if (is(type) && subtype_ == subtype) return;
  CVariantConversion::convert(*this, type, subtype, hint);
}

// Text -----------------------------------------------------------------------

void CVariant::_require(CVariantType hint, std::string_view text, CVariant& variant) {
  const char* reason = nullptr;
  switch (hint) {
    case T::kIPAddress:
      if (!CVariantConversion::_readAddress(text, variant))
        reason = "Value '%1' is not an ip address.";
      break;
    case T::kBoolean:
      if (!CVariantConversion::_readBoolean(text, variant))
        reason = "Value '%1' is not a boolean value.";
      break;
    case T::kTime:
      if (!CVariantConversion::_readTime(text, variant)) reason = "Value '%1' is not a time value.";
      break;
    case T::kString: {
      const std::size_t begin = text.find_first_not_of('"');
      const std::string_view inner =
          begin == std::string_view::npos
              ? std::string_view()
              : text.substr(begin, text.find_last_not_of('"') + 1 - begin);
      variant._set<T::kString>(CVariantText(inner), CVariantSubType::kGeneral);
      break;
    }
    case T::kHexStore:
      if (!CVariantConversion::_readHexStore(text, variant))
        reason = "Value '%1' is not a byte sequence.";
      break;
    case T::kInteger:
    case T::kUInteger:
      if (!CVariantConversion::_readNumber(text, variant)) reason = "Value '%1' is not an integer.";
      break;
    case T::kEndpoint:
      if (!CVariantConversion::_readEndpoint(text, variant))
        reason = "Value '%1' is not an endpoint.";
      break;
    default:
      fail(CRaiser::none(), kModule, "CVariant::_require", "Cannot assign variant from text.",
           {"Unknown data type hint '%1'.", hint.name()});
  }
  if (reason != nullptr) {
    fail(CRaiser::none(), kModule, "CVariant::_require", "Cannot assign variant from text.",
         {reason, std::string(text)});
  }
}

std::int64_t CVariant::_stringToInteger(std::string_view text) {
  std::uint64_t bits = 0;
  if (!scanNumber(text, true, bits)) {
    fail(CRaiser::none(), kModule, "CVariant::_stringToInteger",
         {"Cannot convert variant value '%1' to type '%2'.", std::string(text), "integer"},
         "Value is not an integer.");
  }
  return asSigned(bits);
}

std::uint64_t CVariant::_stringToUInteger(std::string_view text) {
  std::uint64_t bits = 0;
  if (!scanNumber(text, false, bits)) {
    fail(CRaiser::none(), kModule, "CVariant::_stringToUInteger",
         {"Cannot convert variant value '%1' to type '%2'.", std::string(text), "uinteger"},
         "Value is not an integer.");
  }
  return bits;
}

// Operators ------------------------------------------------------------------

namespace {

// refuse: raises the error of an operator for the left operand's type.
[[noreturn]] void refuse(const CVariant& left, const COperatorName& op) {
  const std::string text = operatorText(op.name, op.symbol, left.type());
  if (left.isKnown()) {
    fail(CRaiser::of(left), kModule, op.operation, text, "Illegal operation.");
  }
  fail(CRaiser::of(left), kModule, op.operation, text, "Left variant operand has unknown type.");
}

std::int64_t wrapAdd(std::int64_t a, std::int64_t b) {
  return asSigned(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}
std::int64_t wrapSubtract(std::int64_t a, std::int64_t b) {
  return asSigned(static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b));
}
std::int64_t wrapMultiply(std::int64_t a, std::int64_t b) {
  return asSigned(static_cast<std::uint64_t>(a) * static_cast<std::uint64_t>(b));
}

template <class Number>
Number combine(int op, Number a, Number b) {
  return op == 0 ? (a | b) : op == 1 ? (a & b) : (a ^ b);
}

}  // namespace

CVariant CVariant::_alignedCopy(const CVariant& right) const {
  CVariant aligned;
  CVariantConversion::convertInto(right, aligned, type(), subtype_, std::string());
  return aligned;
}

bool CVariant::operator==(const CVariant& right) const {
  if (!isKnown() || !right.isKnown()) return isKnown() == right.isKnown();
  return _sameKind(right) ? _equal(right) : _equal(_alignedCopy(right));
}

bool CVariant::_equal(const CVariant& r) const {
  switch (type()) {
    case T::kIPAddress:
      return _get<T::kIPAddress>() == r._get<T::kIPAddress>();
    case T::kBoolean:
      return _get<T::kBoolean>() == r._get<T::kBoolean>();
    case T::kTime:
      return _get<T::kTime>().seconds == r._get<T::kTime>().seconds;
    case T::kString:
      return _get<T::kString>().view() == r._get<T::kString>().view();
    case T::kHexStore:
      return _get<T::kHexStore>() == r._get<T::kHexStore>();
    case T::kInteger:
      return _get<T::kInteger>() == r._get<T::kInteger>();
    case T::kEndpoint:
      return _get<T::kEndpoint>() == r._get<T::kEndpoint>();
    case T::kUInteger:
      return _get<T::kUInteger>() == r._get<T::kUInteger>();
    default:
      return true;
  }
}

bool CVariant::operator<(const CVariant& right) const {
  return _sameKind(right) ? _less(right) : _less(_alignedCopy(right));
}

bool CVariant::_less(const CVariant& r) const {
  switch (type()) {
    case T::kIPAddress:
      return _get<T::kIPAddress>() < r._get<T::kIPAddress>();
    case T::kTime:
      return _get<T::kTime>().seconds < r._get<T::kTime>().seconds;
    case T::kString:
      // char_traits<char> compares as unsigned char, and a prefix is smaller.
      return _get<T::kString>().view() < r._get<T::kString>().view();
    case T::kInteger:
      return _get<T::kInteger>() < r._get<T::kInteger>();
    case T::kUInteger:
      return _get<T::kUInteger>() < r._get<T::kUInteger>();
    default:
      refuse(*this, kLess);
  }
}

bool CVariant::operator<=(const CVariant& right) const {
  return *this < right || *this == right;
}

bool CVariant::operator>(const CVariant& right) const {
  const bool less = *this < right;
  return !less && !(*this == right);
}

bool CVariant::operator>=(const CVariant& right) const {
  return !(*this < right);
}

CVariant CVariant::operator+(const CVariant& right) const {
  return _sameKind(right) ? _add(right) : _add(_alignedCopy(right));
}

CVariant CVariant::_add(const CVariant& r) const {
  switch (type()) {
    case T::kIPAddress:
      return _make<T::kIPAddress>(_get<T::kIPAddress>() + r._get<T::kIPAddress>());
    case T::kTime:
      return _make<T::kTime>(TimeValue{
          (CTimeT(_get<T::kTime>().seconds) + CTimeT(r._get<T::kTime>().seconds)).seconds()});
    case T::kString: {
      CVariantText text(_get<T::kString>());
      text.append(r._get<T::kString>().view());
      return _make<T::kString>(std::move(text));
    }
    case T::kHexStore: {
      CHexStore bytes(_get<T::kHexStore>());
      bytes += r._get<T::kHexStore>();
      return _make<T::kHexStore>(std::move(bytes));
    }
    case T::kInteger:
      return _make<T::kInteger>(wrapAdd(_get<T::kInteger>(), r._get<T::kInteger>()));
    case T::kUInteger:
      return _make<T::kUInteger>(_get<T::kUInteger>() + r._get<T::kUInteger>());
    default:
      refuse(*this, kAdd);
  }
}

CVariant CVariant::operator-(const CVariant& right) const {
  return _sameKind(right) ? _subtract(right) : _subtract(_alignedCopy(right));
}

CVariant CVariant::_subtract(const CVariant& r) const {
  switch (type()) {
    case T::kIPAddress:
      return _make<T::kIPAddress>(_get<T::kIPAddress>() - r._get<T::kIPAddress>());
    case T::kTime:
      return _make<T::kTime>(TimeValue{
          (CTimeT(_get<T::kTime>().seconds) - CTimeT(r._get<T::kTime>().seconds)).seconds()});
    case T::kInteger:
      return _make<T::kInteger>(wrapSubtract(_get<T::kInteger>(), r._get<T::kInteger>()));
    case T::kUInteger:
      return _make<T::kUInteger>(_get<T::kUInteger>() - r._get<T::kUInteger>());
    default:
      refuse(*this, kSubtract);
  }
}

CVariant CVariant::operator*(const CVariant& right) const {
  return _sameKind(right) ? _multiply(right) : _multiply(_alignedCopy(right));
}

CVariant CVariant::_multiply(const CVariant& r) const {
  switch (type()) {
    case T::kTime:
      return _make<T::kTime>(TimeValue{
          (CTimeT(_get<T::kTime>().seconds) * CTimeT(r._get<T::kTime>().seconds)).seconds()});
    case T::kInteger:
      return _make<T::kInteger>(wrapMultiply(_get<T::kInteger>(), r._get<T::kInteger>()));
    case T::kUInteger:
      return _make<T::kUInteger>(_get<T::kUInteger>() * r._get<T::kUInteger>());
    default:
      refuse(*this, kMultiply);
  }
}

CVariant CVariant::operator/(const CVariant& right) const {
  return _sameKind(right) ? _divide(right) : _divide(_alignedCopy(right));
}

CVariant CVariant::_divide(const CVariant& r) const {
  switch (type()) {
    case T::kTime:
      return _make<T::kTime>(TimeValue{
          (CTimeT(_get<T::kTime>().seconds) / CTimeT(r._get<T::kTime>().seconds)).seconds()});
    case T::kInteger: {
      const std::int64_t a = _get<T::kInteger>();
      const std::int64_t b = r._get<T::kInteger>();
      // Division by zero and the one overflowing quotient are refused.
      if (b == 0 || (b == -1 && a == std::numeric_limits<std::int64_t>::min())) {
        refuse(*this, kDivide);
      }
      return _make<T::kInteger>(a / b);
    }
    case T::kUInteger: {
      const std::uint64_t b = r._get<T::kUInteger>();
      if (b == 0) refuse(*this, kDivide);
      return _make<T::kUInteger>(_get<T::kUInteger>() / b);
    }
    default:
      refuse(*this, kDivide);
  }
}

CVariant CVariant::operator|(const CVariant& right) const {
  return _sameKind(right) ? _bitwise(right, 0) : _bitwise(_alignedCopy(right), 0);
}

CVariant CVariant::operator&(const CVariant& right) const {
  return _sameKind(right) ? _bitwise(right, 1) : _bitwise(_alignedCopy(right), 1);
}

CVariant CVariant::operator^(const CVariant& right) const {
  return _sameKind(right) ? _bitwise(right, 2) : _bitwise(_alignedCopy(right), 2);
}

CVariant CVariant::_bitwise(const CVariant& r, int op) const {
  static constexpr const COperatorName* kNames[] = {&kOr, &kAnd, &kXor};
  switch (type()) {
    case T::kIPAddress: {
      const CIPAddress& a = _get<T::kIPAddress>();
      const CIPAddress& b = r._get<T::kIPAddress>();
      return _make<T::kIPAddress>(op == 0 ? (a | b) : op == 1 ? (a & b) : (a ^ b));
    }
    case T::kInteger:
      return _make<T::kInteger>(combine(op, _get<T::kInteger>(), r._get<T::kInteger>()));
    case T::kUInteger:
      return _make<T::kUInteger>(combine(op, _get<T::kUInteger>(), r._get<T::kUInteger>()));
    default:
      refuse(*this, *kNames[op]);
  }
}

CVariant CVariant::operator~() const {
  switch (type()) {
    case T::kIPAddress:
      return _make<T::kIPAddress>(~_get<T::kIPAddress>());
    case T::kInteger:
      return _make<T::kInteger>(~_get<T::kInteger>());
    case T::kUInteger:
      return _make<T::kUInteger>(~_get<T::kUInteger>());
    default:
      refuse(*this, kInverse);
  }
}

CVariant CVariant::operator-() const {
  switch (type()) {
    case T::kInteger:
      return _make<T::kInteger>(asSigned(0 - static_cast<std::uint64_t>(_get<T::kInteger>())));
    case T::kUInteger:
      // The one operator whose result changes type: minus a uinteger is an integer.
      return CVariant(std::in_place_index<T::kInteger>, asSigned(0 - _get<T::kUInteger>()),
                      CVariantSubType::kGeneral);
    default:
      refuse(*this, kNegate);
  }
}

CVariant CVariant::operator!() const {
  return CVariant(!boolean());
}

CVariant CVariant::operator&&(const CVariant& right) const {
  const bool left = boolean();
  return CVariant(right.boolean() && left);
}

CVariant CVariant::operator||(const CVariant& right) const {
  const bool left = boolean();
  return CVariant(right.boolean() || left);
}

}  // namespace qvt
