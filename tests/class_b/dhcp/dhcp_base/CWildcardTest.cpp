#include "class_b/dhcp/dhcp_base/CWildcard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qvt {
namespace {

TEST(CWildcardTest, MatchesPatterns) {
  struct Row {
    std::string pattern, text;
    bool matches;
  };
  const std::vector<Row> rows = {
      {"*", "", true},
      {"", "", true},
      {"", "a", false},
      {"abc", "abc", true},
      {"abc", "ABC", false},
      {"abcd", "abc", false},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"docsis*", "docsis", true},
      {"*3.0", "docsis3.0", true},
      {"a*b*c", "aXbYc", true},
      {"a*b*c", "aXbY", false},
      {"a***b", "ab", true},
      {"*a*", "", false},
      {"*?", "", false},
      {"*ab", "aab", true},
      {"*a*a*a*a*a*a*a*b", std::string(60, 'a'), false},
      // Sets, ranges and negation.
      {"[abc]x", "bx", true},
      {"[a-c]", "b", true},
      {"[^0-9]*", "x1", true},
      {"[^0-9]*", "1x", false},
      {"[0-9a-f]", "e", true},
      {"[-a]", "-", false},
      {"[-a]", "a", false},
      {"[-ab]", "b", true},
      {"[a-]", "-", true},
      {"[]", "a", false},
      {"[^]", "a", true},
      {"[*]", "*", true},
      {"[abc", "[abc", true},
      {"[abc", "a", false},
      {"[\x80-\xff]", "\xe9", true},   // bytes above 127 are negative: -128 to -1
      {"[a-\xff]", "b", false},        // 97 to -1 is an empty range
      {"[\x01-\xff]", "\xe9", false},  // 1 to -1 is empty too
      // Escapes.
      {"a\\*", "a*", true},
      {"a\\*", "ab", false},
      {"\\?", "?", true},
      {"\\[a]", "[a]", true},
      {"a\\", "a\\", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("'" + row.pattern + "' against '" + row.text + "'");
    EXPECT_EQ(CWildcard::match(row.pattern, row.text), row.matches);
  }
}

TEST(CWildcardTest, OnlyQuestionMarksAndStarsMakeAPattern) {
  EXPECT_TRUE(CWildcard::hasWildcards("docsis*"));
  EXPECT_TRUE(CWildcard::hasWildcards("a?"));
  EXPECT_FALSE(CWildcard::hasWildcards("[abc]x"));
}

}  // namespace
}  // namespace qvt
