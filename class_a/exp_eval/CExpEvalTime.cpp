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
                          const CLocalClock& clock) {
  const CCallName& call = clock.call;
  _requireArguments(evaluator, arguments, call, 0, 1);
  std::string format = clock.defaultFormat;
  bool asInteger = false;
  if (!arguments.empty()) {
    const std::string choice = arguments.current().string();
    if (::strcasecmp(choice.c_str(), "integer") == 0) {
      format = clock.integerFormat;
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
  _localTime(evaluator, results, arguments,
             {{"CExpEval::_date", "Failed to execute function $DATE()."}, "%x", "%Y%m%d"});
}

void CExpEval::_time(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  _localTime(evaluator, results, arguments,
             {{"CExpEval::_time", "Failed to execute function $TIME()."}, "%X", "%H%M"});
}

void CExpEval::_day(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  _localTime(evaluator, results, arguments,
             {{"CExpEval::_day", "Failed to execute function $DAY()."}, "%A", "%d"});
}

void CExpEval::_month(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  _localTime(evaluator, results, arguments,
             {{"CExpEval::_month", "Failed to execute function $MONTH()."}, "%B", "%m"});
}

void CExpEval::_year(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  _localTime(evaluator, results, arguments,
             {{"CExpEval::_year", "Failed to execute function $YEAR()."}, "%Y", "%Y"});
}

void CExpEval::_timeUTC(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_timeUTC", "Failed to execute function $TIME.UTC()."};
  _requireArguments(evaluator, arguments, kCall, 0, 0);
  results.append(CVariant(CTimeT::now()));
}

void CExpEval::_timeFormatUTC(CExpEval& evaluator, CMultiVariant& results,
                              CMultiVariant& arguments) {
  _formatTime(evaluator, results, arguments,
              {"CExpEval::_timeFormatUTC", "Failed to execute function $TIME.FORMAT.UTC()."}, true);
}

void CExpEval::_timeFormatLocal(CExpEval& evaluator, CMultiVariant& results,
                                CMultiVariant& arguments) {
  _formatTime(evaluator, results, arguments,
              {"CExpEval::_timeFormatLocal", "Failed to execute function $TIME.FORMAT.LOCAL()."},
              false);
}

void CExpEval::_formatTime(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments,
                           const CCallName& call, bool utc) {
  _requireArguments(evaluator, arguments, call, 2, 2);
  const CTimeT time = arguments.current().time();
  arguments.advance();
  const std::string format = arguments.current().string();
  results.append(_asString(utc ? time.formatUTC(format) : time.formatLocal(format)));
}

}  // namespace qvt
