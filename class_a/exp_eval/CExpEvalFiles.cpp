// Built-in functions that reach the file system or the clock: $VALUE,
// $FILE.EXISTS and $USLEEP.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <fstream>
#include <string>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CExpression.h"
#include "class_a/standard/BoundedLine.h"
#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

std::string_view trimBlanks(std::string_view text) noexcept {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

}  // namespace

void CExpEval::_value(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_value", "Failed to execute function $VALUE()."};
  _requireArguments(evaluator, arguments, kCall, 2, 2);
  const std::string file = arguments.current().string();
  arguments.advance();
  const std::string key = arguments.current().string();
  std::string text;
  // Neither the key nor a default: the call appends nothing and so fails.
  if (!evaluator._readValue(file, key, text)) return;
  const std::string_view trimmed = trimBlanks(text);
  if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
    CExpression expression(&evaluator, text);
    const CMultiVariant& values = *expression;
    if (values.empty()) {
      _failCallWith(evaluator, kCall,
                    "Executing with argument '%1' returned an expression that gave no result.",
                    key);
    }
    results.append(values);
    return;
  }
  results.append(CVariant::fromText(text));
}

bool CExpEval::_readValue(const std::string& file, const std::string& key,
                          std::string& value) const {
  std::ifstream in(file);
  if (!in) {
    failSystem(CRaiser::of(*this), "exp_eval", "CExpEval::_readValue",
               {"Failed to open file '%1' when executing function $VALUE().", file});
  }
  bool haveDefault = false;
  std::string line;
  std::uint64_t number = 1;
  for (CLineRead read; (read = readBoundedLine(in, line)) != CLineRead::kEnd; ++number) {
    if (read == CLineRead::kTooLong) {
      fail(
          CRaiser::of(*this), "exp_eval", "CExpEval::_readValue",
          {"Failed to read file '%1' when executing function $VALUE().", file},
          {"Line %1 is longer than %2 bytes.", number, static_cast<std::uint64_t>(kMaxLineLength)});
    }
    // Files written on other systems end their lines with CR LF.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string_view name = trimBlanks(std::string_view(line).substr(0, equals));
    if (!name.empty() && (name.front() == '#' || name.front() == ';')) continue;
    const std::string_view text = trimBlanks(std::string_view(line).substr(equals + 1));
    if (name == key) {
      value.assign(text);
      return true;
    }
    // The first default line counts; later ones are ignored.
    if (name == "<default>" && !haveDefault) {
      value.assign(text);
      haveDefault = true;
    }
  }
  return haveDefault;
}

void CExpEval::_fileExists(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_fileExists",
                                   "Failed to execute function $FILE.EXISTS()."};
  _requireArguments(evaluator, arguments, kCall, 1, 1);
  const std::string path(_trimText(arguments.current().string()));
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor >= 0) ::close(descriptor);
  results.append(CVariant(descriptor >= 0));
}

void CExpEval::_usleep(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_usleep", "Failed to execute function $USLEEP()."};
  _requireArguments(evaluator, arguments, kCall, 1, 1);
  // The count is taken as a 32-bit signed number; a negative one does not sleep.
  const auto microseconds = static_cast<std::int32_t>(arguments.current().integer());
  if (microseconds > 0) {
    timespec wait{microseconds / 1000000, (microseconds % 1000000) * 1000L};
    while (::nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
  }
  results.append(CVariant(true));
}

}  // namespace qvt
