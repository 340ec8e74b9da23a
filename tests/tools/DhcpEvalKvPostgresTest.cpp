// dhcp-eval kv and --kv on PostgreSQL, on a throw-away server.
#include <gtest/gtest.h>

#include <string>

#include "CPostgresServer.h"
#include "tools/ToolTestSupport.h"

namespace qvt::test {
namespace {

using qvt_test::CPostgresServer;

TEST(DhcpEvalKvPostgresTest, RecordsMoveBetweenSqliteAndPostgresql) {
  if (!CPostgresServer::available()) GTEST_SKIP() << CPostgresServer::missingText();
  CPostgresServer& server = CPostgresServer::shared();
  const std::string pg = server.databaseText(server.createDatabase());
  CScratchDir dir;
  const std::string sqlite = dir.path() + "/kv.db";
  const auto kv = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "kv");
    const CCommandResult result = runDhcpEval(dir, arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    return result.out;
  };
  kv({"--db", pg, "set", "pool", "cm", "00-11", "10.1.0.0"});
  kv({"--db", sqlite, "set", "modem", "docsis", "02-00-5E-10-00-05", "gold"});
  kv({"--db", sqlite, "set", "pool", "cm", "00-11", "10.9.0.0", "--disabled"});
  EXPECT_EQ(kv({"copy", "--from", sqlite, "--to", pg}).rfind("copied 2 records from '", 0), 0u);
  EXPECT_EQ(kv({"--db", pg, "list"}),
            "modem\tdocsis\t02-00-5E-10-00-05\tgold\tenabled\n"
            "pool\tcm\t00-11\t10.9.0.0\tdisabled\n");
  const CCommandResult lookup = runDhcpEval(
      dir, {"--packet", example("dhcp4-relayed-remote-id.pcap"), "--frame", "1", "--kv", pg, "--",
            "$DB.KEYVALUE('modem', 'docsis', $HWADDR)", "$DB.KEYVALUE('pool', 'cm', '00-11')"});
  EXPECT_EQ(lookup.status, 0) << lookup.err;
  EXPECT_EQ(lookup.out, "frame 1: string \"gold\"\nframe 1: unknown\n");
}

}  // namespace
}  // namespace qvt::test
