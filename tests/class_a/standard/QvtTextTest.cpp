#include "class_a/standard/qvt_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

struct TextRow {
  std::string input;
  std::string expected;
};

TEST(QvtTextTest, ProcessesEscapes) {
  const std::vector<TextRow> rows = {
      {"a\\x41b", "aAb"},       {"\\\\", "\\"},     {"a\\nb\\rc", "a\nb\rc"},
      {"\\t\\\"", "t\""},       {"abc\\", "abc"},   {"\\xG1", std::string(1, '\0')},
      {"\\x4g", "\x04"},  // both characters are taken
      {"\\xff\\x0A", "\xff\n"}, {"plain", "plain"},
  };
  for (const TextRow& row : rows) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(process_control_chars(row.input), row.expected);
  }
}

TEST(QvtTextTest, ShortHexEscapeRaises) {
  for (const std::string input : {"abc\\x4", "\\x"}) {
    SCOPED_TRACE(input);
    EXPECT_EQ(qvt_test::errorWhere([&] { process_control_chars(input); }),
              "::process_control_chars: Cannot process control characters in text '" + input +
                  "'. (Insufficient digits for a hex escape sequence.)");
  }
  EXPECT_EQ(qvt_test::caught([] { process_control_chars("\\x"); })->className(), "static");
}

TEST(QvtTextTest, EscapesAndRoundTripsEveryByte) {
  const std::vector<TextRow> rows = {
      {"a\nb\r", "a\\nb\\r"},
      {"say \"hi\"", "say \\\"hi\\\""},
      {"back\\slash", "back\\\\slash"},
      {std::string("\0\x1f\x7f\x80\xff", 5), "\\x00\\x1F\x7f\\x80\\xFF"},
  };
  for (const TextRow& row : rows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(escape_control_chars(row.input), row.expected);
  }
  std::string all;
  for (int byte = 0; byte < 256; ++byte)
    all += static_cast<char>(byte);
  EXPECT_EQ(process_control_chars(escape_control_chars(all)), all);
}

}  // namespace
