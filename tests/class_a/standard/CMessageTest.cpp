#include "class_a/standard/CMessage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qvt {
namespace {

struct SubstitutionRow {
  std::string templateText;
  std::vector<std::string> arguments;
  std::string expected;
};

TEST(CMessageTest, SubstitutesMarkersInAscendingOrder) {
  const std::vector<SubstitutionRow> rows = {
      {"Nothing to replace.", {}, "Nothing to replace."},
      {"%1 and %1", {"x"}, "x and x"},
      {"%2 %1", {"a", "b"}, "b a"},
      {"%3", {"a", "b"}, "%3"},                // a marker without argument stays
      {"%1", {"%2", "y"}, "y"},                // later markers inside earlier arguments
      {"%1", {"%1"}, "%1"},                    // the search goes on after the inserted text
      {"only %1", {"a", "unused"}, "only a"},  // an argument without marker is ignored
      {"100%", {"a"}, "100%"},
      {"%10|%1", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}, "a0|a"},
  };
  for (const SubstitutionRow& row : rows) {
    SCOPED_TRACE(row.templateText);
    CMessage message(row.templateText);
    for (const std::string& argument : row.arguments)
      message.pushArg(argument);
    EXPECT_EQ(message.text(), row.expected);
    EXPECT_EQ(message.text(), row.expected);  // rebuilt, not appended to
  }
}

TEST(CMessageTest, PrintsEachArgumentKind) {
  CMessage message("%1|%2|%3|%4|%5|%6|%7|%8|%9", std::int8_t{-5}, std::uint8_t{200},
                   std::int16_t{-300}, std::uint16_t{65535}, std::int32_t{-70000},
                   std::uint32_t{4000000000u}, CHexArg{0x1f}, CHexArg{0}, 1.5);
  EXPECT_EQ(message.text(), "-5|200|-300|65535|-70000|4000000000|0x1f|0|1.5");

  // 64-bit values and characters travel as text.
  CMessage wide("%1 %2 %3", std::int64_t{-9000000000}, std::uint64_t{18446744073709551615u}, 'c');
  EXPECT_EQ(wide.text(), "-9000000000 18446744073709551615 c");
  EXPECT_EQ(wide.arguments().kind(0), kArgInlineText);

  CMessage plain("%1 %2");
  plain.arguments().pushInt(-1);
  plain.arguments().pushUInt(7);
  EXPECT_EQ(plain.text(), "-1 7");
}

TEST(CMessageTest, CopyIsDeepAndClearResets) {
  CMessage original("%1", std::string(300, 'h'));
  original.setId(12);
  original.setModule("exp_eval");
  CMessage copy(original);
  original.clear();
  EXPECT_EQ(original.text(), "");
  EXPECT_EQ(original.id(), -1);
  EXPECT_EQ(original.arguments().count(), 0u);
  EXPECT_EQ(copy.text(), std::string(300, 'h'));
  EXPECT_EQ(copy.id(), 12);
  EXPECT_EQ(copy.module(), "exp_eval");
  EXPECT_EQ(CMessage("x").module(), "standard");
}

}  // namespace
}  // namespace qvt
