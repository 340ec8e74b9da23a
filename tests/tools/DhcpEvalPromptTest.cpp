// dhcp-eval's interactive session fed through standard input: commands,
// expressions continued over lines, and refused commands that leave the
// session going.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tools/ToolTestSupport.h"

namespace qvt::test {
namespace {

const std::string kRelayed = example("dhcp4-relayed.pcap");

// packetRun: what `dhcp-eval ARGS --packet FILE [--frame N] -- EXPR` prints.
std::string packetRun(const std::vector<std::string>& arguments) {
  CScratchDir dir;
  const CCommandResult result = runDhcpEval(dir, arguments);
  EXPECT_EQ(result.status, 0) << result.err;
  return result.out;
}

TEST(DhcpEvalPromptTest, PacketAndTraceCommandsMatchTheCommandLineOptions) {
  CScratchDir dir;
  const CCommandResult result = runDhcpEval(dir, {},
                                            ":packet " + kRelayed +
                                                " 2\n"
                                                "$HWADDR\n"
                                                ":trace on\n"
                                                "$IS_DISCOVER || $RELAY.ADDRESS\n"
                                                ":trace off\n"
                                                ":trace\n"
                                                "$XID\n"
                                                ":packet\n"
                                                ":packet " +
                                                kRelayed +
                                                "\n"
                                                "$XID\n");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  const auto frame2 = [](std::vector<std::string> arguments) {
    arguments.insert(arguments.end() - 1, {"--packet", kRelayed, "--frame", "2", "--"});
    return packetRun(arguments);
  };
  const std::string whole = packetRun({"--packet", kRelayed, "--", "$XID"});
  const std::string loaded = "loaded frame 2 of '" + kRelayed + "'\n";
  EXPECT_EQ(result.out, loaded + frame2({"$HWADDR"}) +
                            frame2({"--trace", "$IS_DISCOVER || $RELAY.ADDRESS"}) +
                            "trace is off\n" + frame2({"$XID"}) + loaded + "loaded " +
                            std::to_string(lines(whole).size()) + " DHCPv4 messages of '" +
                            kRelayed + "'\n" + whole);
}

// A file name in quotes may hold blanks.
TEST(DhcpEvalPromptTest, QuotedFileNameMayHoldBlanks) {
  CScratchDir dir;
  const std::string spaced = dir.path() + "/my capture.pcap";
  std::filesystem::copy_file(kRelayed, spaced);
  const CCommandResult result =
      runDhcpEval(dir, {}, ":packet '" + spaced + "' 2\n$XID\n:packet \"" + spaced + "\"\n");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "loaded frame 2 of '" + spaced + "'\n" +
                            packetRun({"--packet", kRelayed, "--frame", "2", "--", "$XID"}) +
                            "loaded 4 DHCPv4 messages of '" + spaced + "'\n");
}

TEST(DhcpEvalPromptTest, ARefusedCommandIsOneLineAndTheSessionGoesOn) {
  struct Row {
    std::string command;
    std::string error;
  };
  const std::vector<Row> rows = {
      {":nosuch", "unknown command ':nosuch'; ':help' lists the commands"},
      {":packet /nonexistent/x.pcap",
       "Cannot open file '/nonexistent/x.pcap'. (No such file or directory)"},
      {":packet " + kRelayed + " 99",
       "Frame 99 does not exist in '" + kRelayed + "'. (The capture holds 4 frames.)"},
      {":packet " + kRelayed + " 0", "':packet' takes a frame number from 1, not '0'"},
      {":packet a b c", "':packet' takes FILE and an optional FRAME"},
      {":packet " + example("dhcp6-exchange.pcap"),
       "'" + example("dhcp6-exchange.pcap") +
           "' holds no DHCPv4 message. (It holds 4 DHCPv6 messages; add -6 to evaluate them.)"},
      {":trace maybe so", "':trace' takes 'on' or 'off', not 'maybe so'"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    CScratchDir dir;
    // What was loaded before stays loaded.
    const CCommandResult result =
        runDhcpEval(dir, {}, ":packet " + kRelayed + " 1\n" + row.command + "\n$XID == $XID\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "error: " + row.error + "\n");
    EXPECT_EQ(result.out, "loaded frame 1 of '" + kRelayed + "'\nframe 1: boolean true\n");
  }
}

TEST(DhcpEvalPromptTest, OpenQuotesAndParenthesesContinueOnTheNextLine) {
  CScratchDir dir;
  const CCommandResult result = runDhcpEval(dir, {},
                                            "($UCASE('a\n"
                                            "b') +\n"
                                            "  'c')\n"
                                            "(1 +\n"
                                            "\n"
                                            "# comments between lines are left out\n"
                                            "2)\n"
                                            "quit\n"
                                            "'not read'\n");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "string \"A\\nBc\"\nuinteger 3\n");
  // One too long in all is left out whole; reading goes on after it.
  std::string longInput = "(\n";
  for (int i = 0; i < 17; ++i)
    longInput += std::string(1 << 20, 'x') + "\n";
  const CCommandResult tooLong = runDhcpEval(dir, {}, longInput + ")\n1 + 1\n");
  EXPECT_EQ(tooLong.status, 1);
  EXPECT_EQ(tooLong.out, "uinteger 2\n");
  EXPECT_EQ(tooLong.err,
            "error: an expression continued over lines is longer than 16777216 bytes; it is left "
            "out\n");
  // At the end of input what was read so far is evaluated.
  const CCommandResult cut = runDhcpEval(dir, {}, "$LEFT('abc',\n 2");
  EXPECT_EQ(cut.status, 1);
  EXPECT_EQ(cut.err,
            "error: $LEFT('abc',  2: Cannot parse expression '$LEFT('abc',  2'. "
            "(Mismatched parentheses.)\n");
}

TEST(DhcpEvalPromptTest, UnderJsonWhatCommandsReportGoesToStandardError) {
  CScratchDir dir;
  const CCommandResult result =
      runDhcpEval(dir, {"--json"}, ":packet " + kRelayed + " 3\n:trace\n$XID\n");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "loaded frame 3 of '" + kRelayed + "'\ntrace is off\n");
  EXPECT_EQ(result.out, packetRun({"--json", "--packet", kRelayed, "--frame", "3", "--", "$XID"}));
}

}  // namespace
}  // namespace qvt::test
