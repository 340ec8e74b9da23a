#include "class_a/standard/CNumberConversion.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

constexpr std::uint64_t kSignedLimit = std::uint64_t{1} << 63;  // magnitude of INT64_MIN

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

// readMagnitude: digits of [p, end) after the sign, with the prefix rules of
// strtoull (base 0 picks 16 for "0x", 8 for a leading "0", else 10; base 16
// may start with "0x"). True when the whole range was read and the value does
// not exceed limit.
bool readMagnitude(const char* p, const char* end, int base, std::uint64_t limit,
                   std::uint64_t& out) {
  if (base < 0 || base == 1 || base > 36) return false;
  const bool hexPrefix =
      end - p >= 3 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && digitValue(p[2]) < 16;
  if ((base == 0 || base == 16) && hexPrefix) {
    base = 16;
    p += 2;
  } else if (base == 0) {
    base = (p != end && *p == '0') ? 8 : 10;
  }
  if (p == end) return false;
  std::uint64_t value = 0;
  for (; p != end; ++p) {
    const int digit = digitValue(*p);
    if (digit >= base) return false;
    if (value > (limit - static_cast<std::uint64_t>(digit)) / static_cast<std::uint64_t>(base)) {
      return false;
    }
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
  }
  out = value;
  return true;
}

// Raises the "not a complete number" failure with the error code as reason.
[[noreturn]] void failIncomplete(const char* operation, const std::string& text, int code) {
  failNumberSystem(CRaiser::none(), "standard", operation,
                   {"Cannot deserialize number '%1' from text.", text},
                   static_cast<std::uint32_t>(code));
}

// parseWhole: parse(begin, &end) run over text, which it must read to the
// end; raises the incomplete-number failure (EINVAL) otherwise, and the range
// failure (ERANGE) when the C library reports one.
template <class Parse>
auto parseWhole(const std::string& text, const char* operation, Parse parse) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const auto value = parse(begin, &end);
  const int code = errno;
  if (end == begin || end != begin + text.size() || code == EINVAL) {
    failIncomplete(operation, text, EINVAL);
  }
  if (code == ERANGE) failIncomplete(operation, text, ERANGE);
  return value;
}

double readDouble(const char* begin, char** end) {
  return std::strtod(begin, end);
}

[[noreturn]] void failOverflow(const char* operation, const std::string& text, std::int32_t bits) {
  failNumber(CRaiser::none(), "standard", operation, "Cannot deserialize number from text.",
             {"Value '%1' overflows %2 bits.", text, bits});
}

template <class T>
T narrowSigned(const std::string& text, int base, const char* operation) {
  const std::int64_t value = CNumberConversion::toInt64(text, base);
  if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
    failOverflow(operation, text, static_cast<std::int32_t>(sizeof(T) * 8));
  }
  return static_cast<T>(value);
}

template <class T>
T narrowUnsigned(const std::string& text, int base, const char* operation) {
  const std::uint64_t value = CNumberConversion::toUInt64(text, base);
  if (value > std::numeric_limits<T>::max()) {
    failOverflow(operation, text, static_cast<std::int32_t>(sizeof(T) * 8));
  }
  return static_cast<T>(value);
}

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...) {
  char text[32];
  va_list args;
  va_start(args, pattern);
  std::vsnprintf(text, sizeof text, pattern, args);
  va_end(args);
  return text;
}

}  // namespace

CNumberConversion::CNumberConversion(const std::string& text, int base) : text_(text) {
  isValid_ = tryParseSigned(text.data(), text.data() + text.size(), hasSign_, isNegative_,
                            magnitude_, base);
  if (!isValid_) magnitude_ = 0;
}

std::uint64_t CNumberConversion::value() const {
  if (!isValid_) {
    failNumber(CRaiser::none(), "standard", "CNumberConversion::value",
               "Cannot deserialize number from text.",
               {"Value '%1' is not a valid number.", text_});
  }
  return magnitude_;
}

std::uint64_t CNumberConversion::toUInt64(const std::string& text, int base) {
  if (text.find('-') != std::string::npos) {
    failNumber(CRaiser::none(), "standard", "CNumberConversion::toUInt64",
               "Cannot deserialize number from text.",
               {"Invalid format '%1' appears signed.", text});
  }
  return parseWhole(text, "CNumberConversion::toUInt64", [base](const char* begin, char** end) {
    return std::strtoull(begin, end, base);
  });
}

std::int64_t CNumberConversion::toInt64(const std::string& text, int base) {
  return parseWhole(text, "CNumberConversion::toInt64", [base](const char* begin, char** end) {
    return std::strtoll(begin, end, base);
  });
}

std::int32_t CNumberConversion::toLong(const std::string& text, int base) {
  return narrowSigned<std::int32_t>(text, base, "CNumberConversion::toLong");
}
std::int32_t CNumberConversion::toInt(const std::string& text, int base) {
  return narrowSigned<std::int32_t>(text, base, "CNumberConversion::toInt");
}
std::int32_t CNumberConversion::toInt32(const std::string& text, int base) {
  return narrowSigned<std::int32_t>(text, base, "CNumberConversion::toInt32");
}
std::int16_t CNumberConversion::toShort(const std::string& text, int base) {
  return narrowSigned<std::int16_t>(text, base, "CNumberConversion::toShort");
}
std::int16_t CNumberConversion::toInt16(const std::string& text, int base) {
  return narrowSigned<std::int16_t>(text, base, "CNumberConversion::toInt16");
}
std::int8_t CNumberConversion::toInt8(const std::string& text, int base) {
  return narrowSigned<std::int8_t>(text, base, "CNumberConversion::toInt8");
}
std::uint32_t CNumberConversion::toULong(const std::string& text, int base) {
  return narrowUnsigned<std::uint32_t>(text, base, "CNumberConversion::toULong");
}
std::uint32_t CNumberConversion::toUInt(const std::string& text, int base) {
  return narrowUnsigned<std::uint32_t>(text, base, "CNumberConversion::toUInt");
}
std::uint32_t CNumberConversion::toUInt32(const std::string& text, int base) {
  return narrowUnsigned<std::uint32_t>(text, base, "CNumberConversion::toUInt32");
}
std::uint16_t CNumberConversion::toUShort(const std::string& text, int base) {
  return narrowUnsigned<std::uint16_t>(text, base, "CNumberConversion::toUShort");
}
std::uint16_t CNumberConversion::toUInt16(const std::string& text, int base) {
  return narrowUnsigned<std::uint16_t>(text, base, "CNumberConversion::toUInt16");
}
std::uint8_t CNumberConversion::toUInt8(const std::string& text, int base) {
  return narrowUnsigned<std::uint8_t>(text, base, "CNumberConversion::toUInt8");
}

double CNumberConversion::toDouble(const std::string& text) {
  return parseWhole(text, "CNumberConversion::toDouble", readDouble);
}

float CNumberConversion::toFloat(const std::string& text) {
  const double value = parseWhole(text, "CNumberConversion::toFloat", readDouble);
  // A finite double beyond the float range has no float value.
  if (std::isfinite(value) && std::fabs(value) > FLT_MAX) {
    failIncomplete("CNumberConversion::toFloat", text, ERANGE);
  }
  return static_cast<float>(value);
}

std::string CNumberConversion::toString(std::uint64_t value) {
  return format("%llu", static_cast<unsigned long long>(value));
}
std::string CNumberConversion::toString(std::int64_t value) {
  return format("%lli", static_cast<long long>(value));
}
std::string CNumberConversion::toString(std::uint8_t value) {
  return format("%hhu", static_cast<unsigned char>(value));
}
std::string CNumberConversion::toString(std::int8_t value) {
  return format("%hhi", static_cast<signed char>(value));
}

bool CNumberConversion::tryParseUInt64(const char* begin, const char* end, std::uint64_t& out,
                                       int base) noexcept {
  if (begin != end && *begin == '+') ++begin;
  return readMagnitude(begin, end, base, std::numeric_limits<std::uint64_t>::max(), out);
}

bool CNumberConversion::tryParseInt64(const char* begin, const char* end, std::int64_t& out,
                                      int base) noexcept {
  const bool negative = begin != end && *begin == '-';
  if (begin != end && (*begin == '-' || *begin == '+')) ++begin;
  std::uint64_t magnitude = 0;
  if (!readMagnitude(begin, end, base, negative ? kSignedLimit : kSignedLimit - 1, magnitude)) {
    return false;
  }
  out = negative ? static_cast<std::int64_t>(0u - magnitude) : static_cast<std::int64_t>(magnitude);
  return true;
}

bool CNumberConversion::tryParseSigned(const char* begin, const char* end, bool& hasSign,
                                       bool& isNegative, std::uint64_t& magnitude,
                                       int base) noexcept {
  while (begin != end && isSpace(*begin))
    ++begin;
  hasSign = begin != end && (*begin == '-' || *begin == '+');
  isNegative = begin != end && *begin == '-';
  if (hasSign) ++begin;
  const std::uint64_t limit = !hasSign     ? std::numeric_limits<std::uint64_t>::max()
                              : isNegative ? kSignedLimit
                                           : kSignedLimit - 1;
  return readMagnitude(begin, end, base, limit, magnitude);
}

}  // namespace qvt
