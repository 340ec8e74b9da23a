// What a user reads from dhcp-eval besides values: the hint after an unknown
// function name, long expressions shortened in error lines, dump paths as
// $INP takes them, and the default-key warning only where a cipher runs.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tools/ToolTestSupport.h"

namespace qvt::test {
namespace {

struct CHintRow {
  std::vector<std::string> arguments;
  std::string err;  // standard error, whole
};

TEST(DhcpEvalUserFacingTest, UnknownFunctionKeepsTheErrorAndAddsOneHint) {
  const std::vector<CHintRow> rows = {
      // Case differs only: the registered spelling.
      {{"$hwaddr"},
       "error: $hwaddr: Runtime error. (Unknown function 'hwaddr'.)\nhint: did you mean "
       "$HWADDR?\n"},
      {{"$RELAY.CIRCUIT"},
       "error: $RELAY.CIRCUIT: Runtime error. (Unknown function 'RELAY.CIRCUIT'.)\n"
       "hint: did you mean $RELAY.CIRCUITID?\n"},
      {{"$TIME.FORMAT.UT(0, '%H')"},
       "error: $TIME.FORMAT.UT(0, '%H'): Runtime error. (Unknown function 'TIME.FORMAT.UT'.)\n"
       "hint: did you mean $TIME.FORMAT.UTC?\n"},
      // A DHCPv4 name in the DHCPv6 evaluator: nothing close there.
      {{"-6", "$HWADDR"},
       "error: $HWADDR: Runtime error. (Unknown function 'HWADDR'.)\n"
       "hint: no function has a name close to $HWADDR; 'dhcp-eval --functions' lists them\n"},
      // The same name twice: one hint.
      {{"$UCASES(1)", "$UCASES(2)"},
       "error: $UCASES(1): Runtime error. (Unknown function 'UCASES'.)\n"
       "hint: did you mean $UCASE?\n"
       "error: $UCASES(2): Runtime error. (Unknown function 'UCASES'.)\n"},
      // Other errors have no hint.
      {{"$LEFT(1)"},
       "error: $LEFT(1): Failed to execute function $LEFT(). (Not enough arguments.)\n"},
  };
  CScratchDir dir;
  for (const CHintRow& row : rows) {
    SCOPED_TRACE(row.arguments.back());
    const CCommandResult result = runDhcpEval(dir, row.arguments);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, row.err);
  }
}

TEST(DhcpEvalUserFacingTest, LongExpressionIsShortenedInTheErrorLine) {
  CScratchDir dir;
  // 200 KB of text that does not parse: quoted in the prefix and in the
  // engine's own message.
  const std::string middle(200000, 'a');
  const std::string expression = "($LEFT('" + middle + "', 1)";
  const std::string file = dir.write("long.txt", expression + "\n");
  const CCommandResult result = runDhcpEval(dir, {"-f", file});
  EXPECT_EQ(result.status, 1);
  const std::string shown = "($LEFT('" + std::string(52, 'a') + " [... " +
                            std::to_string(expression.size() - 120) + " bytes ...] " +
                            std::string(55, 'a') + "', 1)";
  EXPECT_EQ(result.err, "error: " + shown + ": Cannot parse expression '" + shown +
                            "'. (Mismatched parentheses.)\n");

  // Short enough: whole. A cut never splits a UTF-8 character.
  const CCommandResult shortOne = runDhcpEval(dir, {"$LEFT(1) + 'x'"});
  EXPECT_EQ(shortOne.err.rfind("error: $LEFT(1) + 'x': ", 0), 0u) << shortOne.err;
  std::string accented;
  for (int i = 0; i < 100; ++i)
    accented += "\xC3\xA9";  // é
  const CCommandResult utf8 = runDhcpEval(dir, {"$LEFT(1,'" + accented + "')"});
  EXPECT_EQ(utf8.err.find("\\x"), std::string::npos) << utf8.err;
  EXPECT_NE(utf8.err.find(" [... "), std::string::npos) << utf8.err;

  // JSON keeps the expression whole, for programs.
  const CCommandResult json = runDhcpEval(dir, {"--json", "-f", file});
  ASSERT_EQ(jsonLines(json.out).size(), 1u);
  EXPECT_EQ(text(jsonLines(json.out)[0].at("expression")), expression);
}

TEST(DhcpEvalUserFacingTest, DumpPathsAreWhatInpReads) {
  // Header fields, options, sub-options and (DHCPv6) relay entries: each
  // path the dump prints, given to $INP, reads the value the dump shows.
  struct CFile {
    std::string name;
    std::string family;
    std::string frame;
    std::vector<std::string> mustShow;
  };
  const std::vector<CFile> files = {
      {"dhcp4-relayed.pcap", "-4", "1", {"-30", "-16", "53", "82/1"}},
      {"dhcp6-docsis.pcap", "-6", "2", {"-253", "-250/18", "-250/-252", "16/1"}},
  };
  CScratchDir dir;
  for (const CFile& file : files) {
    SCOPED_TRACE(file.name);
    const CCommandResult dump = runDhcpEval(dir, {"--dump", example(file.name), "--json"});
    ASSERT_EQ(dump.status, 0) << dump.err;
    const std::vector<Json> packets = jsonLines(dump.out);
    const Json* packet = nullptr;
    for (const Json& candidate : packets) {
      if (text(candidate.at("frame")) == file.frame) packet = &candidate;
    }
    ASSERT_NE(packet, nullptr);
    std::map<std::string, std::string> shown;  // path -> the one value shown
    std::vector<std::string> expressions;
    for (const Json& option : packet->at("options")) {
      const std::string& path = text(option.at("path"));
      EXPECT_EQ(path.find("0x"), std::string::npos) << path;
      if (option.at("values").size() != 1) continue;
      shown[path] = text(option.at("values")[0]);
      expressions.push_back("$INP('" + path + "')");
    }
    for (const std::string& path : file.mustShow)
      EXPECT_EQ(shown.count(path), 1u) << path;
    std::vector<std::string> arguments{file.family, "--json",   "--packet", example(file.name),
                                       "--frame",   file.frame, "--"};
    arguments.insert(arguments.end(), expressions.begin(), expressions.end());
    const CCommandResult read = runDhcpEval(dir, arguments);
    EXPECT_EQ(read.status, 0) << read.err;
    const std::vector<Json> values = jsonLines(read.out);
    ASSERT_EQ(values.size(), expressions.size()) << read.out;
    for (const Json& object : values) {
      const std::string& expression = text(object.at("expression"));
      const std::string path = expression.substr(6, expression.size() - 8);
      ASSERT_FALSE(object.contains("error")) << expression;
      EXPECT_EQ(text(object.at("value")), shown[path]) << expression;
    }
  }
}

struct CWarningRow {
  std::string mode;
  std::vector<std::string> arguments;  // "@" at the start stands for the scratch directory
  std::string input;
  bool warns;
};

TEST(DhcpEvalUserFacingTest, DefaultKeyWarningOnlyWhereACipherRuns) {
  CScratchDir dir;
  dir.write("classes.txt", "cm = $CM\nsecret = $LEN($SENCRYPT('x')) > 0\n");
  dir.write("plain-classes.txt", "cm = $CM\n");
  dir.write("rules.txt", "1 = [$SENCRYPT('x')]\n2 = 42\n");
  const std::string capture = example("dhcp4-exchange.pcap");
  const std::vector<CWarningRow> rows = {
      {"plain", {"1 + 2", "$UCASE('x')"}, "", false},
      {"plain, cipher", {"$SENCRYPT('x')", "$SENCRYPT('y')"}, "", true},
      {"json, cipher", {"--json", "$SENCRYPT('x')"}, "", true},
      {"trace", {"--trace", "$SHA1('x')"}, "", false},
      {"standard input", {}, "1\n2\n", false},
      {"standard input, cipher", {}, "$SENCRYPT('x')\n", true},
      {"-6", {"-6", "$CLIENTID"}, "", false},
      {"functions", {"--functions"}, "", false},
      {"packets", {"--packet", capture, "--", "$HWADDR"}, "", false},
      {"packets, cipher", {"--packet", capture, "--", "$SENCRYPT($HWADDR)"}, "", true},
      {"classes", {"--packet", capture, "--classes", "@/plain-classes.txt"}, "", false},
      {"classes, cipher", {"--packet", capture, "--classes", "@/classes.txt"}, "", true},
      {"rules, literal",
       {"--packet", capture, "--rules", "@/rules.txt", "--", "$PROV.RULE(2)"},
       "",
       false},
      {"rules, cipher",
       {"--packet", capture, "--rules", "@/rules.txt", "--", "$PROV.RULE(1)"},
       "",
       true},
      {"dump", {"--dump", capture}, "", false},
  };
  for (const CWarningRow& row : rows) {
    SCOPED_TRACE(row.mode);
    std::vector<std::string> arguments;
    for (const std::string& argument : row.arguments)
      arguments.push_back(argument.rfind('@', 0) == 0 ? dir.path() + argument.substr(1) : argument);
    const CCommandResult result = runDhcpEval(dir, arguments, row.input);
    EXPECT_LE(result.status, 1) << result.err;
    // Once per run, however many ciphers, packets and evaluators.
    EXPECT_EQ(result.err.find(kDefaultKeyWarning) != std::string::npos, row.warns) << result.err;
    if (row.warns) {
      EXPECT_EQ(result.err.find(kDefaultKeyWarning), result.err.rfind(kDefaultKeyWarning));
    }
  }
}

}  // namespace
}  // namespace qvt::test
