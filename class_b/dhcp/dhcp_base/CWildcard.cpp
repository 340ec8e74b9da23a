#include "class_b/dhcp/dhcp_base/CWildcard.h"

#include <cstddef>

namespace qvt {

namespace {

// setContains: membership of c in a set body (the text between "[" or "[^"
// and "]").
bool setContains(std::string_view set, char c) {
  const auto value = static_cast<signed char>(c);
  std::size_t i = 0;
  if (!set.empty() && set[0] == '-') i = 2;  // a leading "-" and its partner match nothing
  for (; i < set.size(); ++i) {
    if (i + 2 < set.size() && set[i + 1] == '-') {
      const auto low = static_cast<signed char>(set[i]);
      const auto high = static_cast<signed char>(set[i + 2]);
      if (low <= value && value <= high) return true;
      i += 2;
    } else if (set[i] == c) {
      return true;
    }
  }
  return false;
}

// matchOne: whether the pattern element at pattern[p] matches c; sets used
// to the number of pattern characters the element takes.
bool matchOne(std::string_view pattern, std::size_t p, char c, std::size_t& used) {
  switch (pattern[p]) {
    case '?':
      used = 1;
      return true;
    case '\\':
      if (p + 1 < pattern.size()) {
        used = 2;
        return pattern[p + 1] == c;
      }
      used = 1;
      return c == '\\';
    case '[': {
      std::size_t body = p + 1;
      const bool negated = body < pattern.size() && pattern[body] == '^';
      if (negated) ++body;
      const std::size_t close = pattern.find(']', body);
      if (close == std::string_view::npos) break;  // no set: a plain "["
      used = close - p + 1;
      return setContains(pattern.substr(body, close - body), c) != negated;
    }
    default:
      break;
  }
  used = 1;
  return pattern[p] == c;
}

}  // namespace

bool CWildcard::match(std::string_view pattern, std::string_view text) {
  // Every element but "*" takes exactly one character, so backtracking to the
  // most recent "*" finds a match whenever any assignment of the runs does.
  std::size_t p = 0;
  std::size_t t = 0;
  std::size_t starPattern = std::string_view::npos;
  std::size_t starText = 0;
  while (true) {
    if (p < pattern.size() && pattern[p] == '*') {
      while (p < pattern.size() && pattern[p] == '*')
        ++p;
      if (p == pattern.size()) return true;
      if (t == text.size()) return false;
      starPattern = p;
      starText = t;
      continue;
    }
    if (t == text.size()) return p == pattern.size();
    std::size_t used = 0;
    if (p < pattern.size() && matchOne(pattern, p, text[t], used)) {
      p += used;
      ++t;
      continue;
    }
    if (starPattern == std::string_view::npos || ++starText == text.size()) return false;
    p = starPattern;
    t = starText;
  }
}

bool CWildcard::hasWildcards(std::string_view pattern) {
  return pattern.find_first_of("?*") != std::string_view::npos;
}

}  // namespace qvt
