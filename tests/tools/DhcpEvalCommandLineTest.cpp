// How dhcp-eval reads its command line and input, its exit status, the
// shared server key and hostile input.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tools/CommandRunner.h"
#include "tools/ToolTestSupport.h"

namespace qvt::test {
namespace {

// A command line dhcp-eval cannot run ends with status 2 before any output;
// the status of runs that do run is checked with what they print.
TEST(DhcpEvalCommandLineTest, UnusableCommandLinesEndWithStatusTwo) {
  CScratchDir dir;
  const std::string scratch = dir.path();
  const std::string hint = " (put '--' before an expression that begins with '-')\n";
  expectRefusal(dir, {"--bogus", "1"}, "dhcp-eval: unknown option '--bogus'" + hint);
  expectRefusal(dir, {"-3"}, "dhcp-eval: unknown option '-3'" + hint);
  expectRefusal(dir, {"1", "-f"}, "dhcp-eval: option '-f' requires an argument\n");
  expectRefusal(dir, {"--key"}, "dhcp-eval: option '--key' requires an argument\n");
  expectRefusal(dir, {"--json=yes", "1"}, "dhcp-eval: option '--json' takes no argument\n");
  expectRefusal(dir, {"1", "-f", scratch + "/missing.txt"},
                "dhcp-eval: Cannot read expression file '" + scratch +
                    "/missing.txt'. (No such file or directory)\n");
  expectRefusal(dir, {"-f", scratch},
                "dhcp-eval: Cannot read expression file '" + scratch + "'. (Is a directory)\n");
  expectRefusal(dir, {"--key", scratch + "/none.key", "1"},
                "dhcp-eval: Cannot read shared server key file '" + scratch +
                    "/none.key'. (No such file or directory)\n");
  expectRefusal(dir, {"--json", "--trace", "1"},
                "dhcp-eval: options '--json' and '--trace' cannot be combined\n");
  expectRefusal(dir, {"--dump", "x.pcap", "--family", "5"},
                "dhcp-eval: option '--family' takes 4 or 6, not '5'\n");
}

TEST(DhcpEvalCommandLineTest, DoubleDashEndsTheOptions) {
  CScratchDir dir;
  const CCommandResult result = runDhcpEval(dir, {"--json", "--", "-3", "--trace"});
  EXPECT_EQ(result.status, 1);
  const std::vector<std::string> printed = lines(result.out);
  ASSERT_EQ(printed.size(), 2u) << result.out;
  EXPECT_EQ(printed[0],
            R"j({"expression": "-3", "type": "integer", "subtype": "general", "value": "-3"})j");
  EXPECT_EQ(text(parseJson(printed[1]).at("expression")), "--trace");
}

TEST(DhcpEvalCommandLineTest, FileSkipsBlankAndCommentLinesInOrderWithArguments) {
  CScratchDir dir;
  const std::string file =
      dir.write("list.txt", "# a comment\n\n1 + 1\n   \n  # indented comment\n'x'\r\n\t\n3");
  const CCommandResult result = runDhcpEval(dir, {"'first'", "-f", file, "'last'"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "string \"first\"\nuinteger 2\nstring \"x\"\nuinteger 3\nstring \"last\"\n");
  // Both spellings, mixed, keep their order.
  const std::string second = dir.write("second.txt", "'second'\n");
  const CCommandResult mixed =
      runDhcpEval(dir, {"--file", second, "'middle'", "-f", file, "--file=" + second});
  EXPECT_EQ(mixed.status, 0) << mixed.err;
  EXPECT_EQ(mixed.out,
            "string \"second\"\nstring \"middle\"\nuinteger 2\nstring \"x\"\nuinteger 3\n"
            "string \"second\"\n");
}

TEST(DhcpEvalCommandLineTest, StandardInputThatIsNoTerminalGivesOneExpressionPerLine) {
  CScratchDir dir;
  const CCommandResult fromPipe = runDhcpEval(dir, {}, "1 + 1\n\n# c\n$NOSUCH()\n'y'\n");
  EXPECT_EQ(fromPipe.status, 1);
  EXPECT_EQ(fromPipe.out, "uinteger 2\nstring \"y\"\n");
  const CCommandResult fromDash = runDhcpEval(dir, {"-f", "-"}, "2 * 3\n");
  EXPECT_EQ(fromDash.status, 0);
  EXPECT_EQ(fromDash.out, "uinteger 6\n");
}

// --functions: the 46 built-in names and those of the family's evaluator
// (44 for DHCPv4, 18 for DHCPv6), each once, in byte order.
TEST(DhcpEvalCommandLineTest, FunctionsListsEveryNameOfTheEvaluatorInByteOrder) {
  CScratchDir dir;
  for (const auto& [family, count] : {std::pair<std::string, std::size_t>{"-4", 90}, {"-6", 64}}) {
    SCOPED_TRACE(family);
    const CCommandResult result = runDhcpEval(dir, {family, "--functions"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    const std::vector<std::string> names = lines(result.out);
    EXPECT_EQ(names.size(), count);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
    for (const char* name : {"BASE64.DECODE", "TIME.FORMAT.LOCAL", "DB.KEYVALUE.EXISTS", "XID"})
      EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << name;
    const bool dhcp4 = family == "-4";
    for (const char* name : {"HWADDR", "RELAY.SID", "IS_LEASEQUERY", "VENDOR.ID", "OUTP.YIADDR"})
      EXPECT_EQ(std::count(names.begin(), names.end(), name), dhcp4 ? 1 : 0) << name;
  }
  EXPECT_EQ(runDhcpEval(dir, {"--functions"}).out, runDhcpEval(dir, {"-4", "--functions"}).out);
}

TEST(DhcpEvalCommandLineTest, KeyFileKeysTheCipherFunctions) {
  CScratchDir dir;
  const std::string key = dir.write("server.key", std::string("k\0e\ny-bytes", 11));
  const CCommandResult roundTrip = runDhcpEval(dir, {"--key", key, "$SDECRYPT($SENCRYPT('x'))"});
  EXPECT_EQ(roundTrip.status, 0) << roundTrip.err;
  EXPECT_EQ(roundTrip.out, "string \"x\"\n");
  EXPECT_EQ(roundTrip.err, "");  // no warning about a default key

  const CCommandResult first = runDhcpEval(dir, {"--key=" + key, "$SENCRYPT('secret')"});
  const CCommandResult second = runDhcpEval(dir, {"--key", key, "$SENCRYPT('secret')"});
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.out.rfind("byte sequence ", 0), 0u) << first.out;
  EXPECT_EQ(first.out, second.out);

  // Without a key file each run draws its own random key, and says so.
  const CCommandResult randomA = runDhcpEval(dir, {"$SENCRYPT('secret')"});
  const CCommandResult randomB = runDhcpEval(dir, {"$SENCRYPT('secret')"});
  EXPECT_EQ(randomA.err, kDefaultKeyWarning);
  EXPECT_NE(randomA.out, randomB.out);
  EXPECT_NE(randomA.out, first.out);

  const std::string empty = dir.write("empty.key", "");
  const CCommandResult refused = runDhcpEval(dir, {"--key", empty, "1"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err, "dhcp-eval: Cannot read shared server key file '" + empty +
                             "'. (The file is empty.)\n");
}

TEST(DhcpEvalCommandLineTest, HostileInputNeverCrashesAndJsonStaysValid) {
  CScratchDir dir;
  std::mt19937 random(20240607);
  std::uniform_int_distribution<int> byte(1, 255);
  const std::size_t expressions = 200;
  std::string garbage;
  for (std::size_t line = 0; line < expressions; ++line) {
    for (int i = 0; i < 200; ++i)
      if (const int b = byte(random); b != '\n') garbage += static_cast<char>(b);
    garbage += "\n";
  }
  const std::string deep = std::string(100000, '(') + "1" + std::string(100000, ')');
  std::string chain = "1";
  for (int i = 0; i < 100000; ++i)
    chain += "+1";
  const std::string longLine = "'" + std::string(1 << 20, 'a') + "'";
  const std::string file =
      dir.write("hostile.txt", garbage + deep + "\n" + chain + "\n" + longLine + "\n");
  const CCommandResult result = runDhcpEval(dir, {"--json", "-f", file});
  EXPECT_TRUE(result.status == 0 || result.status == 1) << "status " << result.status;
  const std::vector<std::string> printed = lines(result.out);
  // Lines of garbage that happen to be blank or comments are skipped.
  ASSERT_GE(printed.size(), 3u);
  ASSERT_LE(printed.size(), expressions + 3);
  for (const std::string& line : printed) {
    SCOPED_TRACE(line.substr(0, 80));
    const Json object = parseJson(line);
    // A value (4 members), or an error (2, or 3 with the hint of an
    // unknown function name).
    const std::size_t members = keys(object).size() - (object.contains("hint") ? 1 : 0);
    EXPECT_TRUE(members == 4 || members == 2);
  }
  const Json chainResult = parseJson(printed[printed.size() - 2]);
  EXPECT_EQ(text(chainResult.at("error").at("module")), "exp_eval");
  EXPECT_EQ(text(parseJson(printed.back()).at("value")).size(), std::size_t{1} << 20);
}

TEST(DhcpEvalCommandLineTest, PlainErrorsEscapeControlCharacters) {
  CScratchDir dir;
  const std::string file = dir.write("escape.txt", "$NO\x1B[2JSUCH()\n");
  const CCommandResult result = runDhcpEval(dir, {"-f", file});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("error: $NO\\x1B[2JSUCH(): "), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find('\x1B'), std::string::npos);
}

}  // namespace
}  // namespace qvt::test
