// CPatternMatch: whole-text wildcard matching, the pattern language of $MATCH.
//
// Case-sensitive; the pattern must cover the whole text:
//   "*"      any run of characters, also none (a run of "*" counts as one)
//   "?"      exactly one character
//   "[...]"  one character of a class; "^" first negates; "x-y" is a range by
//            signed character value; a "-" always pairs the class character
//            before it with the one after it, so a leading "-" forms an empty
//            range that uses up the next character
//   "\x"     the character x itself
//
//   CPatternMatch::matches("host42", "host*");   // true
//   CPatternMatch::matches("x1", "x[^0-9]");     // false
//   CPatternMatch::matches("", "");              // true
#pragma once

#include <cstddef>
#include <string_view>

namespace qvt {

class CPatternMatch {
 public:
  // matches: whether pattern matches all of text. A class without its closing
  // "]" matches no character; a backslash that ends the pattern stands for
  // itself. Never raises; runs without recursion in O(text x pattern) steps.
  static bool matches(std::string_view text, std::string_view pattern) noexcept;

 private:
  // CStep: the outcome of one pattern element against one character.
  struct CStep {
    bool matched;
    std::size_t next;  // position after the element
  };
  static CStep _element(std::string_view pattern, std::size_t at, char c) noexcept;
  static CStep _class(std::string_view pattern, std::size_t at, char c) noexcept;
};

}  // namespace qvt
