#include "class_a/standard/CTimeT.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "class_a/standard/Fail.h"

namespace qvt {

static_assert(sizeof(std::time_t) == 8, "CTimeT needs a 64-bit time_t");

namespace {

constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

char lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// nameIndex: the position of token in names (case-insensitive), or -1.
template <std::size_t N>
int nameIndex(std::string_view token, const char* const (&names)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    if (equalsIgnoringCase(token, names[i])) return static_cast<int>(i);
  }
  return -1;
}

// readInt: a whole token of an optional sign and decimal digits, within int.
bool readInt(std::string_view token, int& out) {
  std::size_t i = 0;
  const bool negative = !token.empty() && token[0] == '-';
  if (!token.empty() && (token[0] == '-' || token[0] == '+')) ++i;
  if (i == token.size()) return false;
  long long value = 0;
  for (; i < token.size(); ++i) {
    if (token[i] < '0' || token[i] > '9') return false;
    value = value * 10 + (token[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return false;
  }
  if (negative) value = -value;
  if (value < INT_MIN || value > INT_MAX) return false;
  out = static_cast<int>(value);
  return true;
}

// nextToken: the next run of non-space characters; empty at the end.
std::string_view nextToken(std::string_view& rest) {
  const std::size_t start = rest.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    rest = std::string_view();
    return rest;
  }
  rest.remove_prefix(start);
  const std::size_t end = std::min(rest.find(' '), rest.size());
  const std::string_view token = rest.substr(0, end);
  rest.remove_prefix(end);
  return token;
}

std::string asctimeLayout(const std::tm& tm) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", kDays[tm.tm_wday % 7],
                kMonths[tm.tm_mon % 12], tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                tm.tm_year + 1900);
  return text;
}

// breakDown: the UTC (gmtime_r) or local (localtime_r) fields of seconds;
// false for negative values and values the C library cannot convert.
bool breakDown(std::int64_t seconds, bool utc, std::tm& tm) {
  if (seconds < 0) return false;
  const std::time_t t = static_cast<std::time_t>(seconds);
  return (utc ? gmtime_r(&t, &tm) : localtime_r(&t, &tm)) != nullptr;
}

}  // namespace

CTimeT CTimeT::now() noexcept {
  return CTimeT(static_cast<std::int64_t>(std::time(nullptr)));
}

CTimeT CTimeT::_divide(std::int64_t divisor) const {
  if (divisor == 0 || (divisor == -1 && seconds_ == std::numeric_limits<std::int64_t>::min())) {
    fail(CRaiser::of(*this), "standard", "CTimeT::operator/", "Cannot divide time.",
         "Invalid time.");
  }
  return CTimeT(seconds_ / divisor);
}

// Negative values are refused on every platform, as the C runtimes that
// cannot represent times before the epoch do.
std::tm CTimeT::gmtime() const {
  std::tm tm{};
  if (!breakDown(seconds_, true, tm)) {
    fail(CRaiser::of(*this), "standard", "CTimeT::gmtime", "Cannot process gmtime.",
         "Invalid time.");
  }
  return tm;
}

std::tm CTimeT::localtime() const {
  std::tm tm{};
  if (!breakDown(seconds_, false, tm)) {
    fail(CRaiser::of(*this), "standard", "CTimeT::localtime", "Cannot process localtime.",
         "Invalid time.");
  }
  return tm;
}

std::string CTimeT::dateUTC() const {
  std::tm tm{};
  if (!breakDown(seconds_, true, tm) || tm.tm_year > 9999 - 1900) {
    fail(CRaiser::of(*this), "standard", "CTimeT::dateUTC", "Cannot display time string.",
         "Invalid time.");
  }
  return asctimeLayout(tm);
}

std::string CTimeT::dateLocal() const {
  std::tm tm{};
  if (!breakDown(seconds_, false, tm) || tm.tm_year > 9999 - 1900) {
    fail(CRaiser::of(*this), "standard", "CTimeT::dateLocal", "Cannot display time string.",
         "Invalid time.");
  }
  return asctimeLayout(tm);
}

std::string CTimeT::_formattedTime(const std::string& format, const std::tm* tm) {
  if (tm == nullptr) {
    fail(CRaiser::named(typeName(typeid(CTimeT))), "standard", "CTimeT::_formattedTime",
         "Cannot format time string.", "Invalid time.");
  }
  char text[256];
  const std::size_t length = std::strftime(text, sizeof text, format.c_str(), tm);
  // strftime gives 0 both for an empty result and for one that does not fit.
  if (length == 0) {
    fail(CRaiser::named(typeName(typeid(CTimeT))), "standard", "CTimeT::_formattedTime",
         "Cannot format time string.", "Invalid format specifier.");
  }
  return std::string(text, length);
}

std::string CTimeT::formatUTC(const std::string& format) const {
  const std::tm tm = gmtime();
  return _formattedTime(format, &tm);
}

std::string CTimeT::formatLocal(const std::string& format) const {
  const std::tm tm = localtime();
  return _formattedTime(format, &tm);
}

bool CTimeT::_readFields(std::string_view text, std::tm& tm) {
  std::string_view rest(text);
  const std::string_view day = nextToken(rest);
  const std::string_view month = nextToken(rest);
  const std::string_view dayOfMonth = nextToken(rest);
  std::string_view clock = nextToken(rest);
  const std::string_view year = nextToken(rest);
  if (!nextToken(rest).empty()) return false;

  if (nameIndex(day, kDays) < 0) return false;
  const int monthIndex = nameIndex(month, kMonths);
  if (monthIndex < 0) return false;

  int mday = 0, hour = 0, minute = 0, second = 0, yearValue = 0;
  const std::size_t colon1 = clock.find(':');
  const std::size_t colon2 =
      colon1 == std::string_view::npos ? colon1 : clock.find(':', colon1 + 1);
  if (colon2 == std::string_view::npos || clock.find(':', colon2 + 1) != std::string_view::npos) {
    return false;
  }
  if (!readInt(dayOfMonth, mday) || !readInt(clock.substr(0, colon1), hour) ||
      !readInt(clock.substr(colon1 + 1, colon2 - colon1 - 1), minute) ||
      !readInt(clock.substr(colon2 + 1), second) || !readInt(year, yearValue) ||
      yearValue < INT_MIN + 1900) {
    return false;
  }
  tm = std::tm{};
  tm.tm_year = yearValue - 1900;
  tm.tm_mon = monthIndex;
  tm.tm_mday = mday;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  return true;
}

// timegm takes the fields as UTC directly, so the result does not depend on
// the process's time zone or its daylight saving rules.
bool CTimeT::readUTC(std::string_view text) {
  std::tm tm{};
  if (!_readFields(text, tm)) return false;
  tm.tm_isdst = 0;
  errno = 0;
  const std::time_t t = timegm(&tm);
  if (t == static_cast<std::time_t>(-1) && errno != 0) return false;
  seconds_ = static_cast<std::int64_t>(t);
  return true;
}

bool CTimeT::readLocal(std::string_view text) {
  std::tm tm{};
  if (!_readFields(text, tm)) return false;
  tm.tm_isdst = -1;
  errno = 0;
  const std::time_t t = std::mktime(&tm);
  if (t == static_cast<std::time_t>(-1) && errno != 0) return false;
  seconds_ = static_cast<std::int64_t>(t);
  return true;
}

std::string CTimeT::durationString() const {
  if (seconds_ == kInfinite) return "infinite";
  char text[80];
  std::snprintf(text, sizeof text, "%lld:%lld:%lld", static_cast<long long>(seconds_ / 3600),
                static_cast<long long>(seconds_ % 3600 / 60),
                static_cast<long long>(seconds_ % 60));
  return text;
}

bool CTimeT::readDuration(const std::string& text) {
  if (text.empty()) return false;
  if (equalsIgnoringCase(text, "infinite") || equalsIgnoringCase(text, "infinity")) {
    seconds_ = kInfinite;
    return true;
  }
  // Seconds, minutes, hours, days, months of 30 days, years of 365 days.
  static constexpr std::int64_t kFactors[] = {1, 60, 3600, 86400, 2592000, 31536000};
  seconds_ = 0;
  std::size_t end = text.size();
  for (std::size_t part = 0;; ++part) {
    const std::size_t colon = end == 0 ? std::string::npos : text.rfind(':', end - 1);
    const std::size_t begin = colon == std::string::npos ? 0 : colon + 1;
    if (part >= 6 || begin == end) return false;
    const std::string piece = text.substr(begin, end - begin);
    char* stop = nullptr;
    errno = 0;
    const long value = std::strtol(piece.c_str(), &stop, 10);
    if (errno == ERANGE || stop == piece.c_str() || *stop != '\0') return false;
    const std::int64_t product = static_cast<std::int64_t>(value) * kFactors[part];
    if (value < INT32_MIN || value > INT32_MAX || product < INT32_MIN || product > INT32_MAX) {
      return false;
    }
    seconds_ += product;
    if (colon == std::string::npos) return true;
    end = colon;
  }
}

const std::string& CTimeT::dayName() {
  static const std::string name = "day";
  return name;
}
const std::string& CTimeT::monthName() {
  static const std::string name = "month";
  return name;
}
const std::string& CTimeT::dateName() {
  static const std::string name = "date";
  return name;
}
const std::string& CTimeT::timeName() {
  static const std::string name = "time";
  return name;
}
const std::string& CTimeT::yearName() {
  static const std::string name = "year";
  return name;
}

}  // namespace qvt
