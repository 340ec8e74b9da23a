// Built-in date and time functions: $DATE, $TIME, $DAY, $MONTH, $YEAR,
// $TIME.UTC, $TIME.FORMAT.UTC and $TIME.FORMAT.LOCAL.
#include <strings.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/standard/CTimeT.h"

namespace qvt {

namespace {

// kFormatLimit: formatted local times are at most this many bytes.
constexpr std::size_t kFormatLimit = 99;

}  // namespace

void CExpEval::_localTime(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments,
                          const CCallName& call, const char* defaultFormat,
                          const char* integerFormat) {
  _requireArguments(evaluator, arguments, call, 0, 1);
  std::string format = defaultFormat;
  bool asInteger = false;
  if (!arguments.empty()) {
    const std::string choice = arguments.current().string();
    if (::strcasecmp(choice.c_str(), "integer") == 0) {
      format = integerFormat;
      asInteger = true;
    } else if (::strcasecmp(choice.c_str(), "string") != 0) {
      format = choice;
    }
  }
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  // strftime answers 0 both for an empty result and for one that does not
  // fit; a buffer large enough for any output of the format tells them apart.
  std::vector<char> buffer(kFormatLimit + 1);
  std::size_t length = std::strftime(buffer.data(), buffer.size(), format.c_str(), &local);
  if (length == 0 && !format.empty()) {
    buffer.resize(std::min<std::size_t>(format.size() * 128 + 256, std::size_t{1} << 20));
    if (std::strftime(buffer.data(), buffer.size(), format.c_str(), &local) != 0) {
      _failCallWith(evaluator, call, "The formatted time is longer than %1 bytes.",
                    static_cast<std::uint32_t>(kFormatLimit));
    }
  }
  const std::string text(buffer.data(), length);
  if (asInteger) {
    results.append(CVariant(static_cast<std::int64_t>(std::strtoll(text.c_str(), nullptr, 10))));
  } else {
    results.append(_asString(text));
  }
}

void CExpEval::_date(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_date", "Failed to execute function $DATE()."};
  _localTime(evaluator, results, arguments, kCall, "%x", "%Y%m%d");
}

void CExpEval::_time(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_time", "Failed to execute function $TIME()."};
  _localTime(evaluator, results, arguments, kCall, "%X", "%H%M");
}

void CExpEval::_day(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_day", "Failed to execute function $DAY()."};
  _localTime(evaluator, results, arguments, kCall, "%A", "%d");
}

void CExpEval::_month(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_month", "Failed to execute function $MONTH()."};
  _localTime(evaluator, results, arguments, kCall, "%B", "%m");
}

void CExpEval::_year(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_year", "Failed to execute function $YEAR()."};
  _localTime(evaluator, results, arguments, kCall, "%Y", "%Y");
}

void CExpEval::_timeUTC(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_timeUTC", "Failed to execute function $TIME.UTC()."};
  _requireArguments(evaluator, arguments, kCall, 0, 0);
  results.append(CVariant(CTimeT::now()));
}

void CExpEval::_timeFormatUTC(CExpEval& evaluator, CMultiVariant& results,
                              CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_timeFormatUTC",
                                   "Failed to execute function $TIME.FORMAT.UTC()."};
  _requireArguments(evaluator, arguments, kCall, 2, 2);
  const CTimeT time = arguments.current().time();
  arguments.advance();
  results.append(_asString(time.formatUTC(arguments.current().string())));
}

void CExpEval::_timeFormatLocal(CExpEval& evaluator, CMultiVariant& results,
                                CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_timeFormatLocal",
                                   "Failed to execute function $TIME.FORMAT.LOCAL()."};
  _requireArguments(evaluator, arguments, kCall, 2, 2);
  const CTimeT time = arguments.current().time();
  arguments.advance();
  results.append(_asString(time.formatLocal(arguments.current().string())));
}

}  // namespace qvt
