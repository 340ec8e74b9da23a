// dhcp-eval --bench: what expressions and classes cost on the messages of a
// capture. The figures vary from run to run; the tests check what each line
// holds and what the exit status says.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tools/ToolTestSupport.h"

namespace qvt::test {
namespace {

// kTime: a figure as the table writes it.
const std::string kTime = R"( *[0-9]+\.[0-9]+ (ns|us|ms))";

TEST(DhcpEvalBenchTest, TableOfExpressionsAndMessages) {
  CScratchDir dir;
  const CCommandResult result =
      runDhcpEval(dir, {"--bench", "--rounds", "1", "--packet", example("dhcp4-relayed.pcap"), "--",
                        "$CM", "$LEFT(", "$INP(53, 3)"});
  EXPECT_EQ(result.status, 1) << result.err;  // one does not compile, one raises
  const std::vector<std::string> out = lines(result.out);
  ASSERT_EQ(out.size(), 15u) << result.out;
  EXPECT_EQ(out[0], "dhcp-eval --bench: 3 expressions on 4 DHCPv4 messages of " +
                        example("dhcp4-relayed.pcap"));
  EXPECT_EQ(out[1],
            "CPU time per call, median of 1 round of about 20 ms; execute is the mean over the "
            "messages.");
  EXPECT_EQ(out[3], "   compile    execute  expression");
  EXPECT_TRUE(std::regex_match(out[4], std::regex(kTime + kTime + "  \\$CM"))) << out[4];
  EXPECT_EQ(out[5], "         -          -  $LEFT(");
  EXPECT_EQ(out[6],
            "                       error: Cannot parse expression '$LEFT('. (Mismatched "
            "parentheses.)");
  EXPECT_TRUE(std::regex_match(
      out[7], std::regex(kTime + kTime + R"(  \$INP\(53, 3\)  \(raises on 4 of 4 messages\))")))
      << out[7];
  EXPECT_TRUE(std::regex_match(out[8], std::regex(kTime + kTime + "  all 2 that compile")))
      << out[8];
  EXPECT_EQ(out[10], "per message:");
  const std::vector<std::string> perMessage = {
      "decode", "make an evaluator",
      "exchange with an evaluator of its own: decode, evaluator, compile and execute all",
      "exchange with one evaluator per worker: decode, execute all"};
  for (std::size_t i = 0; i < perMessage.size(); ++i) {
    EXPECT_TRUE(std::regex_match(out[11 + i], std::regex(kTime + "  " + perMessage[i])))
        << out[11 + i];
  }
}

TEST(DhcpEvalBenchTest, ClassesAsJson) {
  CScratchDir dir;
  const std::string classes = dir.write("classes.txt", "modem = $CM\nrelayed = $RELAY.ADDRESS\n");
  const CCommandResult result =
      runDhcpEval(dir, {"--bench", "--json", "--rounds", "1", "--packet",
                        example("dhcp4-relayed.pcap"), "--frame", "1", "--classes", classes});
  EXPECT_EQ(result.status, 0) << result.err;
  const std::vector<Json> objects = jsonLines(result.out);
  ASSERT_EQ(objects.size(), 3u) << result.out;
  const std::vector<std::string> expressionKeys = {"class", "expression", "compile_ns",
                                                   "execute_ns", "raised"};
  EXPECT_EQ(keys(objects[0]), expressionKeys);
  EXPECT_EQ(text(objects[0].at("class")), "modem");
  EXPECT_EQ(text(objects[1].at("expression")), "$RELAY.ADDRESS");
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_GT(std::stoll(text(objects[i].at("compile_ns"))), 0);
    EXPECT_GT(std::stoll(text(objects[i].at("execute_ns"))), 0);
    EXPECT_EQ(text(objects[i].at("raised")), "0");
  }
  const std::vector<std::string> messageKeys = {"messages", "decode_ns", "evaluator_ns",
                                                "exchange_ns", "worker_exchange_ns"};
  EXPECT_EQ(keys(objects[2]), messageKeys);
  EXPECT_EQ(text(objects[2].at("messages")), "1");
  // Figures are measured, not compared: a busy machine may make any one of
  // them larger than another.
  for (std::size_t i = 1; i < messageKeys.size(); ++i)
    EXPECT_GT(std::stoll(text(objects[2].at(messageKeys[i]))), 0) << messageKeys[i];
}

TEST(DhcpEvalBenchTest, RefusedCommandLines) {
  const std::string capture = example("dhcp4-relayed.pcap");
  const CScratchDir dir;
  expectRefusal(dir, {"--bench", "--", "$CM"}, "dhcp-eval: option '--bench' needs '--packet'\n");
  expectRefusal(dir, {"--rounds", "3", "--packet", capture, "--", "$CM"},
                "dhcp-eval: option '--rounds' needs '--bench'\n");
  expectRefusal(dir, {"--bench", "--trace", "--packet", capture, "--", "$CM"},
                "dhcp-eval: options '--bench' and '--trace' cannot be combined\n");
  expectRefusal(dir, {"--bench", "--rounds", "1001", "--packet", capture, "--", "$CM"},
                "dhcp-eval: option '--rounds' takes a number from 1 to 1000, not '1001'\n");
  expectRefusal(dir, {"--bench", "--rounds", "1", "-6", "--packet", capture, "--", "$CM"},
                "dhcp-eval: '" + capture +
                    "' holds no DHCPv6 message. (It holds 4 DHCPv4 messages; leave out -6 to "
                    "evaluate them.)\n");
}

}  // namespace
}  // namespace qvt::test
