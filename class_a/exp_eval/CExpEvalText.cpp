// Built-in text functions: $LEN, $INSTR, $STARTSWITH, $MATCH, $LEFT, $RIGHT,
// $MID, $UCASE, $LCASE, $STR/$STRING and $TEXT.
#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CPatternMatch.h"

namespace qvt {

namespace {

// CArgumentText: the text of an argument: a string's own bytes, viewed in
// place, or the text form of any other value.
class CArgumentText {
 public:
  explicit CArgumentText(const CVariant& value) {
    if (value.isString()) {
      view_ = value.stringView();
    } else {
      owned_ = value.string();
      view_ = owned_;
    }
  }
  CArgumentText(const CArgumentText&) = delete;
  CArgumentText& operator=(const CArgumentText&) = delete;
  std::string_view view() const noexcept { return view_; }

 private:
  std::string owned_;
  std::string_view view_;
};

// startsWithC: whether text begins with prefix as strncmp compares them,
// stopping at a zero byte.
bool startsWithC(std::string_view text, std::string_view prefix) noexcept {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (text[i] != prefix[i]) return false;
    if (prefix[i] == '\0') return true;
  }
  return true;
}

// changeCase: a string value with every byte mapped; other types unchanged.
void changeCase(CMultiVariant& results, CMultiVariant& arguments, int (*map)(int)) {
  for (; !arguments.empty(); arguments.advance()) {
    const CVariant& argument = arguments.current();
    if (!argument.isString()) {
      results.append(argument);
      continue;
    }
    std::string text(argument.stringView());
    for (char& c : text)
      c = static_cast<char>(map(static_cast<unsigned char>(c)));
    results.append(CExpEval::_asString(text));
  }
}

}  // namespace

void CExpEval::_len(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_len", "Failed to execute function $LEN()."};
  _requireArguments(evaluator, arguments, kCall, 1, kAnyCount);
  for (; !arguments.empty(); arguments.advance()) {
    const CArgumentText text(arguments.current());
    results.append(CVariant(static_cast<std::int64_t>(_trimText(text.view()).size())));
  }
}

void CExpEval::_instr(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_instr", "Failed to execute function $INSTR()."};
  _requireArguments(evaluator, arguments, kCall, 2, 2);
  const CArgumentText text(arguments.current());
  arguments.advance();
  const CArgumentText wanted(arguments.current());
  const std::size_t found = text.view().find(wanted.view());
  results.append(
      CVariant(found == std::string::npos ? std::int64_t{-1} : static_cast<std::int64_t>(found)));
}

void CExpEval::_startswith(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_startswith",
                                   "Failed to execute function $STARTSWITH()."};
  _requireArguments(evaluator, arguments, kCall, 2, 2);
  const CArgumentText text(arguments.current());
  arguments.advance();
  const CArgumentText prefix(arguments.current());
  if (startsWithC(text.view(), prefix.view())) {
    results.append(CVariant::fromText(prefix.view()));
  } else {
    results.append(CVariant());
  }
}

void CExpEval::_match(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_match", "Failed to execute function $MATCH()."};
  _requireArguments(evaluator, arguments, kCall, 2, 2);
  const CVariant& subject = arguments.current();
  const CArgumentText text(subject);
  arguments.advance();
  const CArgumentText pattern(arguments.current());
  if (CPatternMatch::matches(text.view(), pattern.view())) {
    results.append(subject);
  } else {
    results.append(CVariant());
  }
}

void CExpEval::_left(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_left", "Failed to execute function $LEFT()."};
  _requireArguments(evaluator, arguments, kCall, 2, 2);
  const CArgumentText whole(arguments.current());
  const std::string_view text = _trimText(whole.view());
  arguments.advance();
  const std::int64_t count = arguments.current().integer();
  if (count < 0 || static_cast<std::uint64_t>(count) >= text.size()) {
    results.append(_asString(text));
  } else {
    results.append(_asString(text.substr(0, static_cast<std::size_t>(count))));
  }
}

void CExpEval::_right(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_right", "Failed to execute function $RIGHT()."};
  _requireArguments(evaluator, arguments, kCall, 2, 2);
  const CArgumentText whole(arguments.current());
  const std::string_view text = _trimText(whole.view());
  arguments.advance();
  const std::int64_t count = arguments.current().integer();
  if (count < 0) _failCallWith(evaluator, kCall, "Count %1 must not be negative.", count);
  if (static_cast<std::uint64_t>(count) >= text.size()) {
    results.append(_asString(text));
  } else {
    results.append(_asString(text.substr(text.size() - static_cast<std::size_t>(count))));
  }
}

void CExpEval::_mid(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_mid", "Failed to execute function $MID()."};
  _requireArguments(evaluator, arguments, kCall, 3, 3);
  const CArgumentText whole(arguments.current());
  const std::string_view text = _trimText(whole.view());
  arguments.advance();
  const std::int64_t start = arguments.current().integer();
  arguments.advance();
  const std::int64_t count = arguments.current().integer();
  // Start 0 is valid in an empty text (giving the empty text); any other
  // start must lie on a byte of the text.
  const bool inside = start >= 0 && (static_cast<std::uint64_t>(start) < text.size() ||
                                     (start == 0 && text.empty()));
  if (!inside) {
    _failCallWith(evaluator, kCall, "Position %1 is out of bounds in string %2.", start,
                  std::string(text));
  }
  const std::size_t from = static_cast<std::size_t>(start);
  const std::size_t available = text.size() - from;
  const std::size_t length = count < 0 || static_cast<std::uint64_t>(count) > available
                                 ? available
                                 : static_cast<std::size_t>(count);
  results.append(_asString(text.substr(from, length)));
}

void CExpEval::_ucase(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_ucase", "Failed to execute function $UCASE()."};
  _requireArguments(evaluator, arguments, kCall, 1, kAnyCount);
  changeCase(results, arguments, &::toupper);
}

void CExpEval::_lcase(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_lcase", "Failed to execute function $LCASE()."};
  _requireArguments(evaluator, arguments, kCall, 1, kAnyCount);
  changeCase(results, arguments, &::tolower);
}

void CExpEval::_str(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_str", "Failed to execute function $STR()."};
  _requireArguments(evaluator, arguments, kCall, 1, 2);
  const CVariant& value = arguments.current();
  if (arguments.size() == 1) {
    results.append(_toText(value, nullptr));
    return;
  }
  arguments.advance();
  const std::string format = arguments.current().string();
  results.append(_toText(value, &format));
}

void CExpEval::_text(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_text", "Failed to execute function $TEXT()."};
  _requireArguments(evaluator, arguments, kCall, 1, 1);
  const CVariant& value = arguments.current();
  if (!value.isHexStore()) {
    results.append(_toText(value, nullptr));
    return;
  }
  // The bytes up to the first zero byte, as characters.
  const CHexStore& bytes = value.hexstore();
  const auto* first = reinterpret_cast<const char*>(bytes.data());
  const std::size_t length = first ? ::strnlen(first, bytes.size()) : 0;
  results.append(_asString(std::string_view(first ? first : "", length)));
}

CVariant CExpEval::_toText(const CVariant& value, const std::string* format) {
  CVariant text(value);
  text.convert(CVariantType::kString, CVariantSubType::kGeneral, format ? *format : std::string());
  return text;
}

}  // namespace qvt
