#include "class_a/exp_eval/CPatternMatch.h"

namespace qvt {

namespace {

bool inRange(char low, char c, char high) noexcept {
  const auto value = static_cast<signed char>(c);
  return static_cast<signed char>(low) <= value && value <= static_cast<signed char>(high);
}

}  // namespace

bool CPatternMatch::matches(std::string_view text, std::string_view pattern) noexcept {
  constexpr std::size_t kNoStar = std::string_view::npos;
  std::size_t t = 0;
  std::size_t p = 0;
  // Every element but "*" consumes exactly one character, so retrying from the
  // last star with one more character swallowed finds a match if one exists.
  std::size_t afterStar = kNoStar;
  std::size_t starText = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      while (p < pattern.size() && pattern[p] == '*')
        ++p;
      afterStar = p;
      starText = t;
      continue;
    }
    if (p < pattern.size()) {
      const CStep step = _element(pattern, p, text[t]);
      if (step.matched) {
        p = step.next;
        ++t;
        continue;
      }
    }
    if (afterStar == kNoStar) return false;
    p = afterStar;
    t = ++starText;
  }
  while (p < pattern.size() && pattern[p] == '*')
    ++p;
  return p == pattern.size();
}

CPatternMatch::CStep CPatternMatch::_element(std::string_view pattern, std::size_t at,
                                             char c) noexcept {
  switch (pattern[at]) {
    case '?':
      return {true, at + 1};
    case '[':
      return _class(pattern, at, c);
    case '\\':
      if (at + 1 < pattern.size()) return {pattern[at + 1] == c, at + 2};
      return {c == '\\', at + 1};
    default:
      return {pattern[at] == c, at + 1};
  }
}

CPatternMatch::CStep CPatternMatch::_class(std::string_view pattern, std::size_t at,
                                           char c) noexcept {
  const std::size_t end = pattern.size();
  std::size_t i = at + 1;
  bool negate = false;
  if (i < end && pattern[i] == '^') {
    negate = true;
    ++i;
  }
  bool found = false;
  bool havePrevious = false;
  char previous = 0;
  for (;;) {
    if (i >= end) return {false, end};
    char member = pattern[i];
    if (member == ']') return {found != negate, i + 1};
    if (member == '-') {
      // The range's upper end is the next character, whatever it is ("]" too).
      if (++i >= end) return {false, end};
      char upper = pattern[i];
      if (upper == '\\' && i + 1 < end) upper = pattern[++i];
      ++i;
      if (havePrevious && inRange(previous, c, upper)) found = true;
      previous = upper;
      havePrevious = true;
      continue;
    }
    if (member == '\\' && i + 1 < end) member = pattern[++i];
    ++i;
    if (member == c) found = true;
    previous = member;
    havePrevious = true;
  }
}

}  // namespace qvt
