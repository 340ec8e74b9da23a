// dhcp-eval as the exchange tester: expressions evaluated against received
// messages of captures and hex payload files, with the reply, the node, the
// rules, the vendor classes and the key-value database of the exchange.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/ToolTestSupport.h"

namespace qvt::test {
namespace {

struct CValueRow {
  std::string expression;
  std::string typedValue;  // "type value" or "error: text"
};

// runRows: the rows evaluated by `dhcp-eval --json ARGS -- EXPR...`; checks
// that every object starts with "frame": frame and answers its row.
void expectRows(const std::vector<std::string>& arguments, std::uint64_t frame,
                const std::vector<CValueRow>& rows, int status = 0) {
  CScratchDir dir;
  std::vector<std::string> command{"--json"};
  command.insert(command.end(), arguments.begin(), arguments.end());
  command.push_back("--");
  for (const CValueRow& row : rows)
    command.push_back(row.expression);
  const CCommandResult result = runDhcpEval(dir, command);
  EXPECT_EQ(result.status, status) << result.err;
  const std::vector<Json> objects = jsonLines(result.out);
  ASSERT_EQ(objects.size(), rows.size()) << result.out << result.err;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i].expression);
    EXPECT_EQ(keys(objects[i]).front(), "frame");
    EXPECT_EQ(text(objects[i].at("frame")), std::to_string(frame));
    EXPECT_EQ(text(objects[i].at("expression")), rows[i].expression);
    EXPECT_EQ(typedValue(objects[i]), rows[i].typedValue);
  }
}

TEST(DhcpEvalPacketTest, RelayedDocsisDiscover) {
  expectRows(
      {"-4", "--packet", example("dhcp4-relayed-remote-id.pcap"), "--frame", "1"}, 1,
      {
          {"$CLASSID", "string docsis3.0:"},
          {"$RELAY.CIRCUITID", "byte sequence 63-6D-74-73-31-3A-63-61-62-6C-65-2D-31-2F-30-2F-33"},
          {"$INP('82/2') == $RELAY.RID", "boolean true"},
          {"$HWADDR", "byte sequence 02-00-5E-10-00-05"},
          {"$RELAY.ADDRESS", "ip address 10.55.2.1"},
          {"$IS_DISCOVER && !$BOOTP && $CM && !$MTA", "boolean true"},
          {"$DEVICE.DESCRIPTION", "string CableLabs DOCSIS cable modem"},
          {"$OUTP.YIADDR", "unknown "},
      });
}

// --reply-frame alone (the reply taken from the --packet file) is an
// example of the manual page.
TEST(DhcpEvalPacketTest, TheReplyIsReadByOutp) {
  const std::string capture = example("dhcp4-relayed-remote-id.pcap");
  expectRows({"--packet", capture, "--frame", "1", "--reply", capture, "--reply-frame", "2"}, 1,
             {{"$OUTP.YIADDR", "ip address 10.55.2.126"}, {"$OUTP(53)", "integer 2"}});
}

TEST(DhcpEvalPacketTest, BootpWithoutOptionsAndWithoutCookie) {
  CScratchDir dir;
  // A 300-byte BOOTREQUEST whose vendor area is all zero: no magic cookie.
  std::string hex = "01 01 06 00\n";
  for (int i = 4; i < 28; ++i)
    hex += "00 ";
  hex += "\n02 00 5e 10 00 08\n";
  for (int i = 34; i < 300; ++i)
    hex += "00 ";
  const std::string file = dir.write("bootp.hex", hex + "\n");
  const CCommandResult result = runDhcpEval(
      dir, {"--json", "--packet", file, "--", "$BOOTP", "$HWADDR", "$IS_DISCOVER", "$CLASSID"});
  EXPECT_EQ(result.status, 1) << result.err;
  const std::vector<Json> objects = jsonLines(result.out);
  ASSERT_EQ(objects.size(), 4u) << result.out;
  EXPECT_EQ(typedValue(objects[0]), "boolean true");
  EXPECT_EQ(typedValue(objects[1]), "byte sequence 02-00-5E-10-00-08");
  EXPECT_EQ(typedValue(objects[2]), "error: Cannot find option 53. (Option does not exist.)");
  EXPECT_EQ(typedValue(objects[3]), "unknown ");
}

TEST(DhcpEvalPacketTest, EveryPacketOfTheCaptureGetsItsOwnExchange) {
  CScratchDir dir;
  const CCommandResult result = runDhcpEval(
      dir, {"--packet", example("dhcp4-exchange.pcap"), "--", "$HWADDR", "$IS_REQUEST"});
  EXPECT_EQ(result.status, 0) << result.err;
  std::vector<std::string> expected;
  for (int frame = 1; frame <= 8; ++frame) {
    const std::string prefix = "frame " + std::to_string(frame) + ": ";
    expected.push_back(prefix + "byte sequence 02-00-5E-10-00-0" + (frame <= 4 ? "1" : "2"));
    expected.push_back(prefix + (frame % 4 == 3 ? "boolean true" : "boolean false"));
  }
  EXPECT_EQ(lines(result.out), expected);
  EXPECT_EQ(result.err, "");
  // Every exchange's evaluator is keyed, not only the first one's.
  const CCommandResult keyed = runDhcpEval(
      dir, {"--packet", example("dhcp4-exchange.pcap"), "--", "$SDECRYPT($SENCRYPT('x'))"});
  EXPECT_EQ(keyed.status, 0) << keyed.err;
  EXPECT_EQ(lines(keyed.out).size(), 8u) << keyed.out;
  EXPECT_EQ(lines(keyed.out).back(), "frame 8: string \"x\"");
}

TEST(DhcpEvalPacketTest, DocsisSolicitReadsTheSameDirectAndRelayed) {
  const std::vector<CValueRow> client = {
      {"$CLIENTID", "byte sequence 00-03-00-01-02-00-5E-10-00-06"},
      {"$XID", "integer 5057055"},
      {"$CLASSID", "string docsis3.0"},
      {"$CM && !$MTA", "boolean true"},
      {"$DEVICE.VENDORID", "integer 4491"},
      {"$DEVICE.DESCRIPTION", "string CableLabs DOCSIS cable modem"},
      {"$INP('17/2/2')", "string ECM"},
      {"$INP('17/2/36')", "byte sequence 02-00-5E-10-00-06"},
  };
  const std::string capture = example("dhcp6-docsis.pcap");
  expectRows({"-6", "--packet", capture, "--frame", "1"}, 1, client);
  expectRows({"-6", "--packet", capture, "--frame", "2"}, 2, client);
  expectRows({"-6", "--packet", example("dhcp6-docsis-solicit.hex")}, 1, client);
  // The relay's own options sit beneath -250.
  expectRows({"-6", "--packet", capture, "--frame", "2"}, 2,
             {{"$HOPS", "integer 0"},
              {"$INP('0xffffff06/18')", "byte sequence 63-61-62-6C-65-2D-31-2F-30-2F-33"},
              {"$INP('0xffffff06/0xffffff04')", "ip address 2001:db8:1::1"},
              {"$INP('0xffffff06/37/2')", "byte sequence 02-00-5E-10-00-06"},
              {"$INP('0xffffff06/17/2/1026')", "byte sequence 02-00-5E-10-00-06"}});
}

TEST(DhcpEvalPacketTest, NodeRulesVendorsAndDatabaseOfTheExchange) {
  CScratchDir dir;
  const std::string rules = dir.write(
      "rules.txt", "# rule = value\n1 = 10.1.0.0\n1 = [$CM ? ('cm:' + $PROV.ACCNAME) : 'cpe']\n");
  const std::string vendors =
      dir.write("vendors.defs", "class=docsis*\nvendor_id=4491\ndescription=Our modems\n");
  const std::string db = dir.path() + "/kv.db";
  ASSERT_EQ(
      runDhcpEval(dir, {"kv", "--db", db, "set", "modem", "docsis", "02-00-5E-10-00-05", "gold"})
          .status,
      0);
  ASSERT_EQ(runDhcpEval(dir, {"kv", "--db", db, "set", "modem", "docsis", "02-00-5E-10-00-01",
                              "silver", "--disabled"})
                .status,
            0);
  expectRows({"--packet", example("dhcp4-relayed-remote-id.pcap"), "--frame", "1", "--rules", rules,
              "--vendors", vendors, "--kv", db, "--server-ip", "10.55.3.1", "--device-id",
              "0A:0B:0C", "--account", "acme"},
             1,
             {
                 {"$SERVER.IP", "ip address 10.55.3.1"},
                 {"$DEVICE.ID", "byte sequence 0A-0B-0C"},
                 {"$PROV.ACCNAME", "string acme"},
                 {"$PROV.RULE(1)", "string cm:acme"},
                 {"$DEVICE.DESCRIPTION", "string Our modems"},
                 {"$DB.KEYVALUE('modem', 'docsis', $HWADDR)", "string gold"},
                 {"$DB.KEYVALUE('modem', 'docsis', 'other')", "unknown "},
                 // A disabled record is not seen.
                 {"$DB.KEYVALUE.EXISTS('modem', 'docsis', '02-00-5E-10-00-01', 1)", "unknown "},
             });
}

TEST(DhcpEvalPacketTest, ExpressionModeUsesAnEmptyExchangeOfTheFamily) {
  CScratchDir dir;
  const CCommandResult four = runDhcpEval(dir, {"$HWADDR", "$BOOTP"});
  EXPECT_EQ(four.status, 0) << four.err;
  EXPECT_EQ(four.out, "unknown\nboolean true\n");
  EXPECT_EQ(runDhcpEval(dir, {"-6", "$CLIENTID"}).out, "unknown\n");
}

}  // namespace
}  // namespace qvt::test
