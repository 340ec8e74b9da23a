// CWildcard: the wildcard patterns of vendor class keys and of $MATCH.
//
// Case-sensitive, byte by byte:
//   ?        any one character
//   *        any run of characters, the empty run included
//   [abc]    one character of the set; [a-z] a range (bytes compared as
//            signed 8-bit values); [^...] one character not in the set; a
//            "-" first in a set, with the character after it, matches
//            nothing; a "[" without a closing "]" is an ordinary character
//   \c       the character c itself (a "\" at the end of the pattern is
//            itself)
//
//   CWildcard::match("docsis*", "docsis3.0");  // true
//   CWildcard::match("[^0-9]*", "1x");         // false
#pragma once

#include <string_view>

namespace qvt {

class CWildcard {
 public:
  // match: true when pattern matches the whole of text. The pattern "*"
  // matches everything; an empty pattern matches only the empty text. Runs
  // in time proportional to the product of the lengths.
  static bool match(std::string_view pattern, std::string_view text);

  // hasWildcards: true when pattern holds "?" or "*".
  static bool hasWildcards(std::string_view pattern);
};

}  // namespace qvt
