// The rules of the interactive prompt that need no terminal: when typed
// input is a whole expression, how its lines join, and what Tab offers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/dhcp-eval/PromptCompletion.h"
#include "tools/dhcp-eval/PromptInput.h"

namespace {

using qvt::tool::CCompletion;
using qvt::tool::completeAt;
using qvt::tool::continueInput;
using qvt::tool::inputBalance;

TEST(PromptInputTest, InputIsCompleteWhenTheParserSeesNothingOpen) {
  struct Row {
    const char* text;
    bool complete;
  };
  const Row rows[] = {
      {"1 + 2", true},
      {"$LEFT('abc',", false},
      {"$LEFT('abc', 2)", true},
      {"((1)", false},
      {"'a(b'", true},         // parentheses in quotes do not count
      {"\"a)\" + (1", false},  // nor do they close
      {"'abc", false},
      {"'it's'", false},  // either quote closes: the third one opens again
      {"\"a' + (1", false},
      {"\"a' + 1", true},
      {"1)", true},  // a stray ")" is the parser's to refuse
      {") (", false},
  };
  for (const Row& row : rows)
    EXPECT_EQ(inputBalance(row.text).complete(), row.complete) << row.text;
}

TEST(PromptInputTest, LinesJoinWithALineFeedOnlyInsideAQuote) {
  std::string text = "$LEFT('a";
  qvt::tool::CInputBalance balance = inputBalance(text);
  continueInput(text, balance, "b',");
  EXPECT_FALSE(balance.complete());
  continueInput(text, balance, "'c')");
  EXPECT_EQ(text, "$LEFT('a\nb', 'c')");
  EXPECT_TRUE(balance.complete());
}

TEST(PromptInputTest, TabOffersFunctionNamesAndCommands) {
  const std::vector<std::string> names = {"UCASE", "UCASE.FIRST", "TIME", "TIME.FORMAT.UTC",
                                          "LEFT"};
  struct Row {
    std::string line;
    std::size_t cursor;
    std::size_t start;
    std::vector<std::string> candidates;
    bool files;
    // before: earlier lines of the same expression.
    std::string before = "";
  };
  const std::vector<Row> rows = {
      {"$UC", 3, 0, {"$UCASE", "$UCASE.FIRST"}, false},
      {"UC", 2, 0, {"$UCASE", "$UCASE.FIRST"}, false},
      {"$ucase.f", 8, 0, {"$UCASE.FIRST"}, false},
      {"$LEFT($TIME.F", 13, 6, {"$TIME.FORMAT.UTC"}, false},
      {"1+$le) + 2", 5, 2, {"$LEFT"}, false},  // the word ends at the cursor
      {"a$UC", 4, 0, {}, false},
      {"'$UC", 4, 1, {}, false},  // inside a quote
      {"$NO", 3, 0, {}, false},
      {":t", 2, 0, {":trace"}, false},
      {"  :", 3, 2, {":help", ":packet", ":trace"}, false},
      {":packet ", 8, 8, {}, true},
      {":packet examples/dhcp4-", 23, 8, {}, true},
      {":packet a.pcap ", 15, 15, {}, false},  // the frame is a number
      {":trace o", 8, 7, {}, false},
      // A line that continues an expression is no command, and a quote
      // opened on an earlier line holds the names typed after it.
      {"$UC", 3, 0, {}, false, "$LEFT('a"},
      {"b' + $UC", 8, 5, {"$UCASE", "$UCASE.FIRST"}, false, "$LEFT('a"},
      {":le", 3, 1, {"$LEFT"}, false, "$UCASE("},
  };
  for (const Row& row : rows) {
    const CCompletion completion =
        completeAt(row.line, row.cursor, names, inputBalance(row.before));
    EXPECT_EQ(completion.start, row.start) << row.line;
    EXPECT_EQ(completion.candidates, row.candidates) << row.line;
    EXPECT_EQ(completion.files, row.files) << row.line;
  }
}

}  // namespace
