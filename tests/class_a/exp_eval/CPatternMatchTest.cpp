// The pattern language of $MATCH.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "class_a/exp_eval/CPatternMatch.h"

namespace qvt::test {
namespace {

struct CMatchRow {
  const char* text;
  const char* pattern;
  bool matches;
};

void PrintTo(const CMatchRow& row, std::ostream* out) {
  *out << "\"" << row.text << "\" against \"" << row.pattern << "\"";
}

class CPatterns : public ::testing::TestWithParam<CMatchRow> {};

TEST_P(CPatterns, Match) {
  EXPECT_EQ(GetParam().matches, CPatternMatch::matches(GetParam().text, GetParam().pattern));
}

const CMatchRow kRows[] = {
    {"", "", true},
    {"a", "", false},
    {"", "*", true},
    {"anything", "*", true},
    {"anything", "***", true},
    {"host42", "host*", true},
    {"host", "host*", true},
    {"myhost", "host*", false},
    {"docsis3.0", "*sis*", true},
    {"abc", "a*c", true},
    {"abcbc", "a*bc", true},
    {"abcb", "a*bc", false},
    {"a", "?", true},
    {"", "?", false},
    {"ab", "?", false},
    {"abc", "a?c", true},
    {"Abc", "abc", false},
    {"x1", "x[0-9]", true},
    {"x1", "x[^0-9]", false},
    {"xa", "x[^0-9]", true},
    {"b", "[abc]", true},
    {"d", "[abc]", false},
    {"d", "[a-c-e]", true},
    {"a", "[-a]", false},
    {"-", "[-a]", false},
    {"b", "[-ab]", true},
    // A "-" takes the next character as the range's end, even "]".
    {"]", "[+-]]", true},
    {"5", "[+-]]", true},
    {"a", "[+-]]", false},
    {"a", "[]", false},
    {"a", "[^]", true},
    {"a", "[abc", false},
    {"*", "\\*", true},
    {"a", "\\*", false},
    {"]", "[\\]]", true},
    {"a\\", "a\\", true},
    {"a?", "a\\?", true},
    {"ab", "a\\?", false},
    {"\xe9", "[\x01-\x7f]", false},
    {"\xe9", "[\x80-\x7f]", true},
    {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false},
};
INSTANTIATE_TEST_SUITE_P(Rows, CPatterns, ::testing::ValuesIn(kRows));

}  // namespace
}  // namespace qvt::test
