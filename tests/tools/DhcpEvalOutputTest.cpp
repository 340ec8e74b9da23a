// What dhcp-eval prints: plain values, JSON lines and the trace.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tools/CommandRunner.h"
#include "tools/ToolTestSupport.h"

namespace qvt::test {
namespace {

struct CPlainRow {
  std::string expression;
  std::string shown;
};

TEST(DhcpEvalOutputTest, PlainOutputShowsTypeSubtypeAndValueAndFailuresOnStandardError) {
  const std::vector<CPlainRow> rows = {
      {"$INT('-5')", "integer -5"},
      {"1 == 2", "boolean false"},
      {"$TEXT($BYTES('41-0A-FF-22'))", "string \"A\\n\\xFF\\\"\""},
      {"$TEXT($BYTES('1B-5B-33-31-6D'))", "string \"\\x1B[31m\""},
      {"$TEXT($BYTES('C3-A9'))", "string \"\xC3\xA9\""},
      {"$BYTES('01-02')", "byte sequence 01-02"},
      {"10.0.0.1", "ip address (ipv4) 10.0.0.1"},
      {"$IP('10.0.0.1', 6)", "ip address (ipv6) ::ffff:10.0.0.1"},
      {"$UNKNOWN()", "unknown"},
  };
  CScratchDir dir;
  // A failure goes to standard error, and the rest still runs.
  std::vector<std::string> arguments{"$NOSUCH()"};
  for (const CPlainRow& row : rows)
    arguments.push_back(row.expression);
  arguments.push_back("$TIME.UTC()");
  const CCommandResult result = runDhcpEval(dir, arguments);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(lines(result.err).front(),
            "error: $NOSUCH(): Runtime error. (Unknown function 'NOSUCH'.)");
  const std::vector<std::string> shown = lines(result.out);
  ASSERT_EQ(shown.size(), rows.size() + 1) << result.out;
  EXPECT_EQ(shown.back().rfind("time ", 0), 0u) << shown.back();  // a time value names its type
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i].expression);
    EXPECT_EQ(shown[i], rows[i].shown);
  }
}

struct CJsonRow {
  std::string expression;
  std::string line;   // exactly as printed
  std::string value;  // parsed back, UTF-8; "" for an error line
};

TEST(DhcpEvalOutputTest, JsonLinesAreExactAndParseBack) {
  const std::vector<CJsonRow> rows = {
      {"10.0.0.1",
       R"j({"expression": "10.0.0.1", "type": "ip address", "subtype": "ipv4", "value": "10.0.0.1"})j",
       "10.0.0.1"},
      {"$UNKNOWN()",
       R"j({"expression": "$UNKNOWN()", "type": "unknown", "subtype": "general", "value": ""})j",
       ""},
      {"$BYTES('01-02')",
       R"j({"expression": "$BYTES('01-02')", "type": "byte sequence", "subtype": "general", "value": "01-02"})j",
       "01-02"},
      // Control characters, quotes and backslashes are escaped.
      {"$TEXT($BYTES('01-02'))",
       R"j({"expression": "$TEXT($BYTES('01-02'))", "type": "string", "subtype": "general", "value": "\u0001\u0002"})j",
       "\x01\x02"},
      {"$TEXT($BYTES('22-5C-09-0A-7F'))",
       R"j({"expression": "$TEXT($BYTES('22-5C-09-0A-7F'))", "type": "string", "subtype": "general", "value": "\"\\\t\n\u007f"})j",
       "\"\\\t\n\x7F"},
      // Bytes that are not UTF-8 become \u00XX of the byte; UTF-8 stays.
      {"$TEXT($BYTES('FF-41-C3'))",
       R"j({"expression": "$TEXT($BYTES('FF-41-C3'))", "type": "string", "subtype": "general", "value": "\u00ffA\u00c3"})j",
       "\xC3\xBF"
       "A"
       "\xC3\x83"},
      {"$TEXT($BYTES('C3-A9'))",
       "{\"expression\": \"$TEXT($BYTES('C3-A9'))\", \"type\": \"string\", \"subtype\": "
       "\"general\", \"value\": \"\xC3\xA9\"}",
       "\xC3\xA9"},
      {"$NOSUCH()",
       R"j({"expression": "$NOSUCH()", "error": {"text": "Runtime error. (Unknown function 'NOSUCH'.)", "description": "Runtime error.", "reason": "Unknown function 'NOSUCH'.", "operation": "CExpEval::callback", "module": "exp_eval"}, "hint": "no function has a name close to $NOSUCH; 'dhcp-eval --functions' lists them"})j",
       ""},
      {"(1",
       R"j({"expression": "(1", "error": {"text": "Cannot parse expression '(1'. (Mismatched parentheses.)", "description": "Cannot parse expression '(1'.", "reason": "Mismatched parentheses.", "operation": "CExpEval::parse", "module": "exp_eval"}})j",
       ""},
  };
  CScratchDir dir;
  std::vector<std::string> arguments{"--json"};
  for (const CJsonRow& row : rows)
    arguments.push_back(row.expression);
  const CCommandResult result = runDhcpEval(dir, arguments);
  EXPECT_EQ(result.status, 1);
  const std::vector<std::string> printed = lines(result.out);
  ASSERT_EQ(printed.size(), rows.size()) << result.out;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i].expression);
    EXPECT_EQ(printed[i], rows[i].line);
    // The exact line fixes the members and their order; parsed back, the
    // escapes give the value's text.
    const Json object = parseJson(printed[i]);
    EXPECT_EQ(text(object.at("expression")), rows[i].expression);
    EXPECT_EQ(text(object.value("value", Json(""))), rows[i].value);
  }
}

TEST(DhcpEvalOutputTest, TraceMarksNodesNotEvaluatedAndFailed) {
  CScratchDir dir;
  // The whole trace of a run that succeeds is an example of the manual page.
  const CCommandResult result =
      runDhcpEval(dir, {"--trace", "false && $NOSUCH()", "1 + $NOSUCH()"});
  EXPECT_EQ(result.status, 1);
  const std::string& out = result.out;
  // The untaken side of "&&" did not run; the failing call and its parent
  // are marked.
  EXPECT_NE(out.find("postfix: false NOSUCH $ &&\n"), std::string::npos) << out;
  EXPECT_TRUE(std::regex_search(out, std::regex("\n    \\$NOSUCH +\\(not evaluated\\)\n")));
  EXPECT_TRUE(std::regex_search(out, std::regex("\n  \\+ +\\(failed\\)\n    literal +uinteger 1\n"
                                                "    \\$NOSUCH +\\(failed\\)\n")))
      << out;
}

TEST(DhcpEvalOutputTest, TraceOfTextThatDoesNotCompileShowsThePartialPostfix) {
  CScratchDir dir;
  const CCommandResult result = runDhcpEval(dir, {"--trace", "(1 + 2"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "expression: (1 + 2\npostfix (incomplete): 1 2 +\n");
}

}  // namespace
}  // namespace qvt::test
