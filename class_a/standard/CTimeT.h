// CTimeT: seconds since 1970-01-01 00:00:00 UTC, also used as a duration.
//
// Arithmetic is plain signed 64-bit arithmetic that wraps; the text forms
// follow the C library's asctime layout:
//
//   CTimeT t(86400);
//   t.dateUTC();                          // "Fri Jan  2 00:00:00 1970"
//   t.readUTC("Thu Jan  1 00:00:00 1970");  // t == 0 in every time zone
//   CTimeT(90061).durationString();       // "25:1:1"
//
// As a duration, -1 means "infinite".
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace qvt {

class CTimeT {
 public:
  // kInfinite: the duration that never ends.
  static constexpr std::int64_t kInfinite = -1;

  // CTimeT: the given seconds (0, the epoch, by default).
  CTimeT(std::int64_t seconds = 0) noexcept : seconds_(seconds) {}  // NOLINT(runtime/explicit)
  CTimeT(const CTimeT&) = default;
  CTimeT& operator=(const CTimeT&) = default;
  CTimeT& operator=(std::int64_t seconds) noexcept {
    seconds_ = seconds;
    return *this;
  }
  virtual ~CTimeT() = default;

  // now: the current time.
  static CTimeT now() noexcept;

  // seconds: the value.
  std::int64_t seconds() const noexcept { return seconds_; }
  void setSeconds(std::int64_t seconds) noexcept { seconds_ = seconds; }

  // Arithmetic: wrapping signed 64-bit. Division raises CException "Cannot
  // divide time." ("Invalid time.") for a divisor of 0 and for the smallest
  // value divided by -1.
  friend CTimeT operator+(const CTimeT& a, const CTimeT& b) noexcept {
    return CTimeT(
        _wrap(static_cast<std::uint64_t>(a.seconds_) + static_cast<std::uint64_t>(b.seconds_)));
  }
  friend CTimeT operator-(const CTimeT& a, const CTimeT& b) noexcept {
    return CTimeT(
        _wrap(static_cast<std::uint64_t>(a.seconds_) - static_cast<std::uint64_t>(b.seconds_)));
  }
  friend CTimeT operator*(const CTimeT& a, const CTimeT& b) noexcept {
    return CTimeT(
        _wrap(static_cast<std::uint64_t>(a.seconds_) * static_cast<std::uint64_t>(b.seconds_)));
  }
  friend CTimeT operator/(const CTimeT& a, const CTimeT& b) { return a._divide(b.seconds_); }
  CTimeT operator-() const noexcept {
    return CTimeT(_wrap(0u - static_cast<std::uint64_t>(seconds_)));
  }

  CTimeT& operator+=(const CTimeT& other) noexcept { return *this = *this + other; }
  CTimeT& operator-=(const CTimeT& other) noexcept { return *this = *this - other; }
  CTimeT& operator++() noexcept { return *this += 1; }
  CTimeT& operator--() noexcept { return *this -= 1; }
  CTimeT operator++(int) noexcept {
    const CTimeT old(*this);
    ++*this;
    return old;
  }
  CTimeT operator--(int) noexcept {
    const CTimeT old(*this);
    --*this;
    return old;
  }

  // Comparison: signed, with another time or a seconds value.
  friend bool operator==(const CTimeT& a, const CTimeT& b) noexcept {
    return a.seconds_ == b.seconds_;
  }
  friend bool operator!=(const CTimeT& a, const CTimeT& b) noexcept {
    return a.seconds_ != b.seconds_;
  }
  friend bool operator<(const CTimeT& a, const CTimeT& b) noexcept {
    return a.seconds_ < b.seconds_;
  }
  friend bool operator<=(const CTimeT& a, const CTimeT& b) noexcept {
    return a.seconds_ <= b.seconds_;
  }
  friend bool operator>(const CTimeT& a, const CTimeT& b) noexcept {
    return a.seconds_ > b.seconds_;
  }
  friend bool operator>=(const CTimeT& a, const CTimeT& b) noexcept {
    return a.seconds_ >= b.seconds_;
  }

  // gmtime: the broken-down UTC time. Raises CException "Cannot process
  // gmtime." ("Invalid time.") for negative values and values the C library
  // cannot convert.
  std::tm gmtime() const;
  // localtime: the broken-down local time; raises as gmtime under the
  // operation "CTimeT::localtime".
  std::tm localtime() const;

  // dateUTC: the UTC date in asctime layout without line feed
  // ("Thu Jan  1 00:00:00 1970"). Raises CException "Cannot display time
  // string." ("Invalid time.") when gmtime fails or the year has more than
  // four digits.
  std::string dateUTC() const;
  // dateLocal: the same layout in local time; raises as dateUTC under the
  // operation "CTimeT::dateLocal".
  std::string dateLocal() const;

  // _formattedTime: strftime of tm into a 256-byte buffer. Raises CException
  // "Cannot format time string." with reason "Invalid time." for a null tm and
  // "Invalid format specifier." when the result is empty (or does not fit).
  static std::string _formattedTime(const std::string& format, const std::tm* tm);
  // formatUTC, formatLocal: _formattedTime of gmtime() / localtime().
  std::string formatUTC(const std::string& format) const;
  std::string formatLocal(const std::string& format) const;

  // readUTC: reads "Day Mon dd hh:mm:ss yyyy" (names case-insensitive, runs of
  // spaces allowed, numbers as whole decimal integers) as a UTC time;
  // out-of-range fields normalise ("Feb 30" is "Mar 2" or "Mar 1"). Returns
  // false and keeps the value when the text does not have that layout. Reads
  // the text in place, without heap use.
  bool readUTC(std::string_view text);
  // readLocal: the same text taken as local time (mktime).
  bool readLocal(std::string_view text);

  // durationString: "h:m:s" without padding or day part ("25:1:1"), or
  // "infinite" for -1.
  std::string durationString() const;
  // readDuration: "infinite"/"infinity" (any case), or up to six ":"-separated
  // decimal parts read from the right as seconds, minutes, hours, days, months
  // (30 days) and years (365 days). Returns false for empty text, an empty or
  // unreadable part, a part whose seconds overflow 32 bits, or more than six
  // parts; the value read up to the refused part is then kept.
  bool readDuration(const std::string& text);

  // Names of the fields of a date: "day", "month", "date", "time", "year".
  static const std::string& dayName();
  static const std::string& monthName();
  static const std::string& dateName();
  static const std::string& timeName();
  static const std::string& yearName();

 private:
  static std::int64_t _wrap(std::uint64_t value) noexcept {
    return static_cast<std::int64_t>(value);
  }
  CTimeT _divide(std::int64_t divisor) const;
  // _readFields: parses the date text into tm; false when it is no date.
  static bool _readFields(std::string_view text, std::tm& tm);

  std::int64_t seconds_;
};

}  // namespace qvt
