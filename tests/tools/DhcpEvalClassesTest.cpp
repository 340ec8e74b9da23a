// dhcp-eval --classes: a class set checked against every packet of a capture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/ToolTestSupport.h"

namespace qvt::test {
namespace {

const char kClasses4[] =
    "# client classes\n"
    "cable-modem = $CM\n"
    "mta = $MTA\n"
    "\n"
    "request = $IS_REQUEST\n"
    "offered = $INP(53) == 2\n"
    "broken = $NOSUCH()\n";

TEST(DhcpEvalClassesTest, OneLinePerPacketWithItsClassesAndErrors) {
  CScratchDir dir;
  const std::string classes = dir.write("classes.txt", kClasses4);
  const CCommandResult result = runDhcpEval(
      dir, {"--packet", example("dhcp4-exchange.pcap"), "--classes", classes, "--frame", "3"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out,
            "frame 3 REQUEST 02-00-5E-10-00-01: cable-modem request; error: broken: Runtime "
            "error. (Unknown function 'NOSUCH'.)\n");

  const CCommandResult all = runDhcpEval(
      dir, {"--json", "--packet", example("dhcp4-exchange.pcap"), "--classes", classes});
  EXPECT_EQ(all.status, 1);
  const std::vector<Json> objects = jsonLines(all.out);
  ASSERT_EQ(objects.size(), 8u) << all.out;
  const std::vector<std::string> expected = {"1 DISCOVER 02-00-5E-10-00-01 cable-modem",
                                             "2 OFFER 02-00-5E-10-00-01 offered",
                                             "3 REQUEST 02-00-5E-10-00-01 cable-modem request",
                                             "4 ACK 02-00-5E-10-00-01",
                                             "5 DISCOVER 02-00-5E-10-00-02 mta",
                                             "6 OFFER 02-00-5E-10-00-02 offered",
                                             "7 REQUEST 02-00-5E-10-00-02 mta request",
                                             "8 ACK 02-00-5E-10-00-02"};
  for (std::size_t i = 0; i < objects.size(); ++i) {
    const Json& object = objects[i];
    EXPECT_EQ(keys(object),
              (std::vector<std::string>{"frame", "type", "client", "classes", "errors"}));
    std::string summary =
        text(object.at("frame")) + " " + text(object.at("type")) + " " + text(object.at("client"));
    for (const Json& name : object.at("classes"))
      summary += " " + text(name);
    EXPECT_EQ(summary, expected[i]);
    EXPECT_EQ(keys(object.at("errors")), std::vector<std::string>{"broken"});
    EXPECT_EQ(text(object.at("errors").at("broken").at("reason")), "Unknown function 'NOSUCH'.");
  }
}

TEST(DhcpEvalClassesTest, AClassThatDoesNotCompileStopsTheRunBeforeAnyOutput) {
  CScratchDir dir;
  const std::string classes = dir.write("classes.txt", "good = $CM\n\nbad = ($CM\n");
  const std::string key = dir.write("server.key", "secret");
  const CCommandResult result = runDhcpEval(
      dir, {"--key", key, "--packet", example("dhcp4-exchange.pcap"), "--classes", classes});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "dhcp-eval: Class 'bad' (line 3) does not compile. (Cannot parse expression '($CM'. "
            "(Mismatched parentheses.))\n");
}

// The bundled class sets, rules and records, as scripts/run-example.sh runs
// them; DHCPv6 packets show the client identifier.
TEST(DhcpEvalClassesTest, BundledExamples) {
  CScratchDir dir;
  const std::string db = dir.path() + "/kv.db";
  const CCommandResult imported =
      runDhcpEval(dir, {"kv", "--db", db, "import", example("keyvalues.txt")});
  EXPECT_EQ(imported.out, "imported 3 records into '" + db + "'\n") << imported.err;
  const CCommandResult four = runDhcpEval(dir, {"--packet", example("dhcp4-relayed-remote-id.pcap"),
                                                "--classes", example("classes.txt"), "--kv", db});
  EXPECT_EQ(four.status, 0) << four.err;
  EXPECT_EQ(four.out,
            "frame 1 DISCOVER 02-00-5E-10-00-05: cable-modem relayed known-modem gold discover\n"
            "frame 2 OFFER 02-00-5E-10-00-05: relayed known-modem gold\n");
  const CCommandResult six = runDhcpEval(
      dir, {"-6", "--packet", example("dhcp6-relayed.pcap"), "--classes", example("classes6.txt")});
  EXPECT_EQ(six.status, 0) << six.err;
  EXPECT_EQ(six.out,
            "frame 1 SOLICIT 00-03-00-01-02-00-5E-10-00-04: cable-modem relayed\n"
            "frame 2 ADVERTISE 00-03-00-01-02-00-5E-10-00-04: (none)\n"
            "frame 3 REQUEST 00-03-00-01-02-00-5E-10-00-04: cable-modem relayed\n"
            "frame 4 REPLY 00-03-00-01-02-00-5E-10-00-04: (none)\n");
  const CCommandResult rules =
      runDhcpEval(dir, {"--packet", example("dhcp4-exchange.pcap"), "--rules", example("rules.txt"),
                        "--kv", db, "--account", "acme", "--frame", "5", "--", "$PROV.RULE(1)",
                        "$PROV.RULE(2)", "$PROV.RULE(3)"});
  EXPECT_EQ(rules.out,
            "frame 5: string \"cpe\"\nframe 5: string \"bronze\"\nframe 5: uinteger 3600\n");
}

}  // namespace
}  // namespace qvt::test
