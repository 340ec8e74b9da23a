#include "class_a/standard/CVariantConversion.h"

#include <charconv>
#include <cstring>
#include <limits>

#include "class_a/standard/CNumberConversion.h"
#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

using T = CVariantType;

constexpr const char* kModule = "standard";

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}
bool isSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}
char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view text, std::string_view lowerWord) {
  if (text.size() != lowerWord.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (lower(text[i]) != lowerWord[i]) return false;
  }
  return true;
}

// atoiPort: the port text read as atoi does (white space, sign, leading
// digits); false unless 1 to 65535, or 0 written with "0" characters only.
bool atoiPort(std::string_view text, std::uint16_t& port) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
    if (value > 65535) return false;
  }
  if (negative && value != 0) return false;
  if (value == 0 && text.find_first_not_of('0') != std::string_view::npos) return false;
  port = static_cast<std::uint16_t>(value);
  return true;
}

void putBigEndian(std::uint64_t value, unsigned char* out, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    out[length - 1 - i] = static_cast<unsigned char>(value >> (8 * i));
  }
}

std::uint64_t readBigEndian(const unsigned char* bytes, std::size_t length) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < length; ++i)
    value = (value << 8) | bytes[i];
  return value;
}

// addressAsDouble: an address as one unsigned number; IPv6 goes through
// floating point (high 64 bits * 2^64 + low 64 bits).
double addressAsDouble(const CIPAddress& address) {
  const unsigned char* bytes = address.raw_addr();
  if (address.addressType() == CIPAddress::kIPv4) return readBigEndian(bytes, 4);
  const double high = static_cast<double>(readBigEndian(bytes, 8));
  const double low = static_cast<double>(readBigEndian(bytes + 8, 8));
  return high * 18446744073709551616.0 + low;
}

// mapAddress: an address keeps its value unless the subtype names the other
// family.
void mapAddress(CIPAddress& address, CVariantSubType subtype) {
  if (subtype.isAddressFamily()) {
    const std::uint32_t target = CVariantSubType::addressType(subtype);
    if (target != address.addressType()) address.mapTo(target);
  }
}

template <class Number>
void writeDecimal(CVariantText& text, Number value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  const auto length = static_cast<std::size_t>(result.ptr - buffer);
  std::memcpy(text.overwrite(length), buffer, length);
}

}  // namespace

void CVariantConversion::convert(CVariant& variant, CVariantType type, CVariantSubType subtype,
                                 const std::string& hint) {
  convertInto(variant, variant, type, subtype, hint);
}

void CVariantConversion::convertInto(const CVariant& source, CVariant& target, CVariantType type,
                                     CVariantSubType subtype, const std::string& hint) {
  const Rule rule = _rule(source.type(), type);
  if (rule == nullptr) {
    fail(CRaiser::none(), kModule, "CVariantConversion::convert",
         {"Cannot convert variant from type '%1' to type '%2'.", source.type().name(), type.name()},
         "No conversion for this combination.");
  }
  rule(source, target, type, subtype, hint);
}

CVariantConversion::Rule CVariantConversion::_rule(CVariantType from, CVariantType to) noexcept {
  constexpr Rule F = &CVariantConversion::_forbiddenConversion;
  constexpr Rule S = &CVariantConversion::_same;
  constexpr Rule Ad = &CVariantConversion::_toAddress;
  constexpr Rule Bo = &CVariantConversion::_toBoolean;
  constexpr Rule Ti = &CVariantConversion::_toTime;
  constexpr Rule St = &CVariantConversion::_toString;
  constexpr Rule Hx = &CVariantConversion::_toHexStore;
  constexpr Rule In = &CVariantConversion::_toInteger;
  constexpr Rule Ep = &CVariantConversion::_toEndpoint;
  constexpr Rule Ui = &CVariantConversion::_toUInteger;
  // Rows: from; columns: to (unknown, ip address, boolean, time, string, byte
  // sequence, integer, ip endpoint, uinteger).
  static constexpr Rule kTable[T::kCount * T::kCount] = {
      S, F,  Bo, F,  St, F,  F,  F,  F,   // unknown
      F, Ad, Bo, F,  St, Hx, In, Ep, Ui,  // ip address
      F, F,  S,  F,  St, Hx, In, F,  Ui,  // boolean
      F, F,  Bo, S,  St, Hx, In, F,  Ui,  // time
      F, Ad, Bo, Ti, S,  Hx, In, Ep, Ui,  // string
      F, Ad, Bo, Ti, St, S,  In, F,  Ui,  // byte sequence
      F, Ad, Bo, Ti, St, Hx, S,  F,  Ui,  // integer
      F, Ad, F,  F,  St, F,  F,  S,  F,   // ip endpoint
      F, Ad, Bo, Ti, St, Hx, In, F,  S,   // uinteger
  };
  return kTable[from.value() * T::kCount + to.value()];
}

void CVariantConversion::_forbiddenConversion(const CVariant& source, CVariant&, CVariantType type,
                                              CVariantSubType, const std::string&) {
  fail(CRaiser::none(), kModule, "CVariantConversion::_forbiddenConversion",
       {"Cannot convert from type '%1' to '%2'.", source.type().name(), type.name()},
       "Invalid conversion.");
}

void CVariantConversion::_same(const CVariant& source, CVariant& target, CVariantType,
                               CVariantSubType subtype, const std::string&) {
  if (&source != &target) target = source;
  target.subtype_ = subtype;
}

bool CVariantConversion::booleanOf(const CVariant& source) noexcept {
  switch (source.type()) {
    case T::kIPAddress:
      return source._get<T::kIPAddress>().addressType() != CIPAddress::kNone;
    case T::kTime:
      return source._get<T::kTime>().seconds != 0;
    case T::kString: {
      const std::string_view text = source._get<T::kString>().view();
      return !text.empty() && !equalsIgnoringCase(text, "false");
    }
    case T::kHexStore:
      return !source._get<T::kHexStore>().empty();
    case T::kInteger:
      return source._get<T::kInteger>() > 0;
    case T::kUInteger:
      return source._get<T::kUInteger>() != 0;
    case T::kBoolean:
      return source._get<T::kBoolean>();
    default:  // unknown: false
      return false;
  }
}

void CVariantConversion::_toBoolean(const CVariant& source, CVariant& target, CVariantType,
                                    CVariantSubType, const std::string&) {
  target._set<T::kBoolean>(booleanOf(source), CVariantSubType::kGeneral);
}

void CVariantConversion::_toString(const CVariant& source, CVariant& target, CVariantType,
                                   CVariantSubType, const std::string& hint) {
  CVariantText text;
  switch (source.type()) {
    case T::kIPAddress:
      text.assign(source._get<T::kIPAddress>().string());
      break;
    case T::kBoolean:
      text.assign(source._get<T::kBoolean>() ? "true" : "false");
      break;
    case T::kTime:
      text.assign(CTimeT(source._get<T::kTime>().seconds).dateUTC());
      break;
    case T::kHexStore: {
      const CHexStore& bytes = source._get<T::kHexStore>();
      const std::string& separator = hint.empty() ? bytes.separator() : hint;
      static constexpr char kDigits[] = "0123456789ABCDEF";
      const std::size_t n = bytes.size();
      if (n == 0) break;
      char* out = text.overwrite(n * 2 + (n - 1) * separator.size());
      for (std::size_t i = 0; i < n; ++i) {
        if (i > 0) {
          std::memcpy(out, separator.data(), separator.size());
          out += separator.size();
        }
        *out++ = kDigits[bytes[i] >> 4];
        *out++ = kDigits[bytes[i] & 0x0F];
      }
      break;
    }
    case T::kInteger:
      writeDecimal(text, source._get<T::kInteger>());
      break;
    case T::kEndpoint:
      text.assign(source._get<T::kEndpoint>().string());
      break;
    case T::kUInteger:
      writeDecimal(text, source._get<T::kUInteger>());
      break;
    case T::kString:
      text = source._get<T::kString>();
      break;
    default:  // unknown: empty text
      break;
  }
  target._set<T::kString>(std::move(text), CVariantSubType::kGeneral);
}

void CVariantConversion::_toHexStore(const CVariant& source, CVariant& target, CVariantType,
                                     CVariantSubType, const std::string&) {
  unsigned char buffer[8];
  CHexStore bytes;
  switch (source.type()) {
    case T::kIPAddress: {
      const CIPAddress& address = source._get<T::kIPAddress>();
      const unsigned char* raw = address.raw_addr();
      bytes.append(raw, address.raw_len());
      break;
    }
    case T::kBoolean:
      bytes.append(source._get<T::kBoolean>() ? 1 : 0);
      break;
    case T::kTime:
      putBigEndian(static_cast<std::uint64_t>(source._get<T::kTime>().seconds), buffer, 8);
      bytes.append(buffer, 8);
      break;
    case T::kString: {
      const CVariantText& text = source._get<T::kString>();
      bytes.append(reinterpret_cast<const unsigned char*>(text.data()), text.size());
      break;
    }
    case T::kInteger: {
      // The fewest of 1 to 6 bytes that hold the value, else 8 (no 7-byte form).
      const auto value = static_cast<std::uint64_t>(source._get<T::kInteger>());
      std::size_t length = 8;
      if (value <= 0xFFFFFFFFFFFFull) {
        length = 1;
        while (length < 6 && (value >> (8 * length)) != 0)
          ++length;
      }
      putBigEndian(value, buffer, length);
      bytes.append(buffer, length);
      break;
    }
    case T::kUInteger:
      putBigEndian(source._get<T::kUInteger>(), buffer, 8);
      bytes.append(buffer, 8);
      break;
    case T::kHexStore:
      bytes = source._get<T::kHexStore>();
      break;
    default:
      _forbiddenConversion(source, target, T::kHexStore, CVariantSubType::kGeneral, {});
  }
  target._set<T::kHexStore>(std::move(bytes), CVariantSubType::kGeneral);
}

void CVariantConversion::_toInteger(const CVariant& source, CVariant& target, CVariantType,
                                    CVariantSubType, const std::string&) {
  std::int64_t value = 0;
  switch (source.type()) {
    case T::kIPAddress: {
      const double number = addressAsDouble(source._get<T::kIPAddress>());
      // Beyond the target's range the value saturates.
      value = number >= 9223372036854775808.0 ? std::numeric_limits<std::int64_t>::max()
                                              : static_cast<std::int64_t>(number);
      break;
    }
    case T::kBoolean:
      value = source._get<T::kBoolean>() ? 1 : 0;
      break;
    case T::kTime:
      value = source._get<T::kTime>().seconds;
      break;
    case T::kString:
      value = CVariant::_stringToInteger(source._get<T::kString>().view());
      break;
    case T::kHexStore:
      value = _hexstoreToInteger(source._get<T::kHexStore>());
      break;
    case T::kUInteger:
      value = static_cast<std::int64_t>(source._get<T::kUInteger>());
      break;
    case T::kInteger:
      value = source._get<T::kInteger>();
      break;
    default:
      _forbiddenConversion(source, target, T::kInteger, CVariantSubType::kGeneral, {});
  }
  target._set<T::kInteger>(value, CVariantSubType::kGeneral);
}

void CVariantConversion::_toUInteger(const CVariant& source, CVariant& target, CVariantType,
                                     CVariantSubType, const std::string&) {
  std::uint64_t value = 0;
  switch (source.type()) {
    case T::kIPAddress: {
      const double number = addressAsDouble(source._get<T::kIPAddress>());
      value = number >= 18446744073709551616.0 ? std::numeric_limits<std::uint64_t>::max()
                                               : static_cast<std::uint64_t>(number);
      break;
    }
    case T::kBoolean:
      value = source._get<T::kBoolean>() ? 1 : 0;
      break;
    case T::kTime:
      value = static_cast<std::uint64_t>(source._get<T::kTime>().seconds);
      break;
    case T::kString:
      value = CVariant::_stringToUInteger(source._get<T::kString>().view());
      break;
    case T::kHexStore:
      value = _hexstoreToUInteger(source._get<T::kHexStore>());
      break;
    case T::kInteger:
      value = static_cast<std::uint64_t>(source._get<T::kInteger>());
      break;
    case T::kUInteger:
      value = source._get<T::kUInteger>();
      break;
    default:
      _forbiddenConversion(source, target, T::kUInteger, CVariantSubType::kGeneral, {});
  }
  target._set<T::kUInteger>(value, CVariantSubType::kGeneral);
}

void CVariantConversion::_toTime(const CVariant& source, CVariant& target, CVariantType,
                                 CVariantSubType, const std::string&) {
  std::int64_t seconds = 0;
  switch (source.type()) {
    case T::kString: {
      // An unreadable date still makes a time: the target's own time value
      // (0 for a variant that holds none).
      CTimeT time(target.isTime() ? target._get<T::kTime>().seconds : 0);
      time.readUTC(source._get<T::kString>().view());
      seconds = time.seconds();
      break;
    }
    case T::kHexStore:
      seconds = _hexstoreToTime(source._get<T::kHexStore>());
      break;
    case T::kInteger:
      seconds = source._get<T::kInteger>();
      break;
    case T::kUInteger:
      seconds = static_cast<std::int64_t>(source._get<T::kUInteger>());
      break;
    case T::kTime:
      seconds = source._get<T::kTime>().seconds;
      break;
    default:
      _forbiddenConversion(source, target, T::kTime, CVariantSubType::kGeneral, {});
  }
  target._set<T::kTime>(CVariant::TimeValue{seconds}, CVariantSubType::kGeneral);
}

void CVariantConversion::_toAddress(const CVariant& source, CVariant& target, CVariantType,
                                    CVariantSubType subtype, const std::string&) {
  CIPAddress address;
  CVariantSubType resultSubtype = subtype;
  switch (source.type()) {
    case T::kIPAddress:
      address = source._get<T::kIPAddress>();
      mapAddress(address, subtype);
      break;
    case T::kString:
      address = CIPAddress(source._get<T::kString>().str());
      mapAddress(address, subtype);
      break;
    case T::kHexStore: {
      const CHexStore& bytes = source._get<T::kHexStore>();
      address.set(bytes.data(), bytes.size());
      resultSubtype = CVariantSubType::type(address.addressType());
      break;
    }
    case T::kInteger:
    case T::kUInteger: {
      const std::uint32_t addressType = CVariantSubType::addressType(subtype);
      const auto number = source.isInteger()
                              ? static_cast<std::uint64_t>(source._get<T::kInteger>())
                              : source._get<T::kUInteger>();
      unsigned char bytes[16] = {};
      const std::size_t length = addressType == CIPAddress::kIPv4 ? 4 : 16;
      putBigEndian(number & 0xFFFFFFFFu, bytes + length - 4, 4);
      address.set(bytes, length);
      break;
    }
    case T::kEndpoint:
      address = source._get<T::kEndpoint>().ip_address();
      mapAddress(address, subtype);
      break;
    default:
      _forbiddenConversion(source, target, T::kIPAddress, subtype, {});
  }
  target._set<T::kIPAddress>(address, resultSubtype);
}

void CVariantConversion::_toEndpoint(const CVariant& source, CVariant& target, CVariantType,
                                     CVariantSubType, const std::string&) {
  switch (source.type()) {
    case T::kIPAddress: {
      CEndpoint endpoint(source._get<T::kIPAddress>(), 0);
      target._set<T::kEndpoint>(endpoint, CVariantSubType::kGeneral);
      break;
    }
    case T::kString: {
      CEndpoint endpoint(source._get<T::kString>().str());
      target._set<T::kEndpoint>(endpoint, CVariantSubType::kGeneral);
      break;
    }
    case T::kEndpoint:
      _same(source, target, T::kEndpoint, CVariantSubType::kGeneral, {});
      break;
    default:
      _forbiddenConversion(source, target, T::kEndpoint, CVariantSubType::kGeneral, {});
  }
}

std::int64_t CVariantConversion::_hexstoreToTime(const CHexStore& bytes) {
  if (bytes.size() != 8) {
    fail(CRaiser::none(), kModule, "CVariantConversion::_hexstoreToTime",
         {"Cannot convert byte sequence '%1' to a time value.", bytes.string()}, "Invalid size.");
  }
  return static_cast<std::int64_t>(readBigEndian(bytes.data(), 8));
}

std::int64_t CVariantConversion::_hexstoreToInteger(const CHexStore& bytes) {
  if (bytes.size() > 8) {
    fail(CRaiser::none(), kModule, "CVariantConversion::_hexstoreToInteger",
         {"Cannot convert byte sequence '%1' to an integer.", bytes.string()}, "Integer overflow.");
  }
  return static_cast<std::int64_t>(readBigEndian(bytes.data(), bytes.size()));
}

std::uint64_t CVariantConversion::_hexstoreToUInteger(const CHexStore& bytes) {
  if (bytes.size() > 8) {
    fail(CRaiser::none(), kModule, "CVariantConversion::_hexstoreToUInteger",
         {"Cannot convert byte sequence '%1' to an unsigned integer.", bytes.string()},
         "Integer overflow.");
  }
  return readBigEndian(bytes.data(), bytes.size());
}

// Type guessing ------------------------------------------------------------

void CVariantConversion::_guess(std::string_view text, CVariant& variant) {
  if (text.empty()) {
    fail(CRaiser::none(), kModule, "CVariantConversion::_guess", "Cannot interpret variant.",
         "Type cannot be deduced from an empty value.");
  }
  if (_readQuoted(text, variant) || _readBoolean(text, variant) || _readAddress(text, variant) ||
      _readEndpoint(text, variant) || _readNumber(text, variant) || _readTime(text, variant) ||
      _readHexStore(text, variant) || _readFunctionName(text, variant)) {
    return;
  }
  variant._set<T::kString>(CVariantText(text), CVariantSubType::kGeneral);
}

bool CVariantConversion::_readQuoted(std::string_view text, CVariant& variant) {
  if (text.empty() || text.front() != '"' || text.back() != '"') return false;
  const std::size_t begin = text.find_first_not_of('"');
  const std::string_view inner = begin == std::string_view::npos
                                     ? std::string_view()
                                     : text.substr(begin, text.find_last_not_of('"') + 1 - begin);
  variant._set<T::kString>(CVariantText(inner), CVariantSubType::kGeneral);
  return true;
}

bool CVariantConversion::_readBoolean(std::string_view text, CVariant& variant) {
  if (equalsIgnoringCase(text, "true")) {
    variant._set<T::kBoolean>(true, CVariantSubType::kGeneral);
    return true;
  }
  if (equalsIgnoringCase(text, "false")) {
    variant._set<T::kBoolean>(false, CVariantSubType::kGeneral);
    return true;
  }
  return false;
}

bool CVariantConversion::_readAddress(std::string_view text, CVariant& variant) {
  // Every address text has a "." or a ":" (a plain loop: find_first_of calls
  // memchr once per character).
  bool separator = false;
  for (const char c : text)
    separator = separator || c == '.' || c == ':';
  if (!separator) return false;
  while (!text.empty() && (text.front() == '[' || isBlank(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ']' || isBlank(text.back())))
    text.remove_suffix(1);
  CIPAddress address;
  if (text.empty() || !CIPAddress::tryParse(text, address)) return false;
  variant._set<T::kIPAddress>(address, CVariantSubType::type(address.addressType()));
  return true;
}

bool CVariantConversion::_readEndpoint(std::string_view text, CVariant& variant) {
  if (text.find(':') == std::string_view::npos) return false;
  while (!text.empty() && isBlank(text.back()))
    text.remove_suffix(1);
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos) return false;
  std::uint16_t port = 0;
  const std::string_view portText = text.substr(colon + 1);
  if (portText.empty() || !atoiPort(portText, port)) return false;
  CVariant host;
  if (!_readAddress(text.substr(0, colon), host)) return false;
  variant._set<T::kEndpoint>(CEndpoint(host._get<T::kIPAddress>(), port),
                             CVariantSubType::kGeneral);
  return true;
}

bool CVariantConversion::_readNumber(std::string_view text, CVariant& variant) {
  bool hasSign = false;
  bool isNegative = false;
  std::uint64_t magnitude = 0;
  if (!CNumberConversion::tryParseSigned(text.data(), text.data() + text.size(), hasSign,
                                         isNegative, magnitude)) {
    return false;
  }
  if (hasSign) {
    const std::uint64_t bits = isNegative ? 0 - magnitude : magnitude;
    variant._set<T::kInteger>(static_cast<std::int64_t>(bits), CVariantSubType::kGeneral);
  } else {
    variant._set<T::kUInteger>(magnitude, CVariantSubType::kGeneral);
  }
  return true;
}

bool CVariantConversion::_readTime(std::string_view text, CVariant& variant) {
  // A date text starts with a day name; anything else is refused here without
  // building the text for the reader.
  static constexpr std::string_view kDays[] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i]))
    ++i;
  if (text.size() - i < 3) return false;
  bool dayName = false;
  for (const std::string_view day : kDays)
    dayName = dayName || equalsIgnoringCase(text.substr(i, 3), day);
  if (!dayName) return false;
  CTimeT time;
  if (!time.readUTC(text)) return false;
  variant._set<T::kTime>(CVariant::TimeValue{time.seconds()}, CVariantSubType::kGeneral);
  return true;
}

bool CVariantConversion::_readHexStore(std::string_view text, CVariant& variant) {
  if (text.size() < 3 || text[0] == '-' || text[1] == '-' || text[2] != '-') return false;
  // The reading of CHexStore::parse with the default one-character separator:
  // a pair, then stop at the end or one character before it, else skip one.
  const auto at = [text](std::size_t i) { return i < text.size() ? text[i] : '\0'; };
  CHexStore bytes;
  std::size_t position = 0;
  for (;;) {
    const unsigned char high = CHexStore::_char2Nybble(at(position));
    const unsigned char low = CHexStore::_char2Nybble(at(position + 1));
    bytes.append(static_cast<unsigned char>((high << 4) | low));
    position += 2;
    if (position >= text.size() || position + 1 == text.size()) break;
    position += 1;
  }
  variant._set<T::kHexStore>(std::move(bytes), CVariantSubType::kGeneral);
  return true;
}

bool CVariantConversion::_readFunctionName(std::string_view text, CVariant& variant) {
  if (text.size() < 2 || text[0] != '$') return false;
  variant._set<T::kString>(CVariantText(text), CVariantSubType::kFunctionName);
  return true;
}

}  // namespace qvt
