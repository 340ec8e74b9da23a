// dhcp-eval kv: the key-value records of $DB.KEYVALUE, kept in SQLite here.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tools/ToolTestSupport.h"

namespace qvt::test {
namespace {

class DhcpEvalKvTest : public testing::Test {
 protected:
  CCommandResult kv(std::vector<std::string> arguments, const std::string& input = "") {
    arguments.insert(arguments.begin(), "kv");
    return runDhcpEval(dir_, arguments, input);
  }
  // ok: the output of a kv command that must succeed silently on stderr.
  std::string ok(const std::vector<std::string>& arguments) {
    const CCommandResult result = kv(arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    return result.out;
  }

  CScratchDir dir_;
  std::string db_ = dir_.path() + "/kv.db";
};

TEST_F(DhcpEvalKvTest, SetGetListDelete) {
  EXPECT_EQ(ok({"--db", db_, "set", "pool", "cm", "00-11", "10.1.0.0"}), "");
  EXPECT_EQ(ok({"set", "--db", db_, "pool", "cm", "00-22", "10.2.0.0", "--disabled"}), "");
  EXPECT_EQ(ok({"--db", db_, "set", "pool", "", "default", "10.9.0.0"}), "");
  EXPECT_EQ(ok({"--db", db_, "set", "acct", "x", "k", "a\tb"}), "");
  // set replaces the record with the same key.
  EXPECT_EQ(ok({"--db", db_, "set", "pool", "cm", "00-11", "10.1.0.1"}), "");

  EXPECT_EQ(ok({"--db", db_, "get", "pool", "cm", "00-11"}), "10.1.0.1\n");
  const CCommandResult disabled = kv({"--db", db_, "get", "pool", "cm", "00-22"});
  EXPECT_EQ(disabled.status, 0);
  EXPECT_EQ(disabled.out, "10.2.0.0\n");
  EXPECT_EQ(disabled.err,
            "dhcp-eval: note: the record is disabled; $DB.KEYVALUE does not see it\n");

  EXPECT_EQ(ok({"--db", db_, "list"}),
            "acct\tx\tk\ta\\tb\tenabled\n"
            "pool\t\tdefault\t10.9.0.0\tenabled\n"
            "pool\tcm\t00-11\t10.1.0.1\tenabled\n"
            "pool\tcm\t00-22\t10.2.0.0\tdisabled\n");
  EXPECT_EQ(ok({"--db", db_, "list", "pool", "cm"}),
            "pool\tcm\t00-11\t10.1.0.1\tenabled\npool\tcm\t00-22\t10.2.0.0\tdisabled\n");
  EXPECT_EQ(lines(ok({"--db", db_, "list", "pool"})).size(), 3u);
  EXPECT_EQ(
      ok({"--json", "--db", db_, "get", "pool", "cm", "00-22"}),
      R"j({"class": "pool", "subclass": "cm", "key": "00-22", "value": "10.2.0.0", "enabled": false})j"
      "\n");

  EXPECT_EQ(ok({"--db", db_, "delete", "pool", "cm", "00-11"}), "");
  for (const char* command : {"get", "delete"}) {
    const CCommandResult gone = kv({"--db", db_, command, "pool", "cm", "00-11"});
    EXPECT_EQ(gone.status, 1);
    EXPECT_EQ(gone.err,
              "dhcp-eval: kv: no record with class 'pool', subclass 'cm', key '00-11' in '" + db_ +
                  "'\n");
  }
}

TEST_F(DhcpEvalKvTest, ExportThenImportRoundTrips) {
  ok({"--db", db_, "set", "pool", "cm", "00-11", "10.1.0.0"});
  ok({"--db", db_, "set", "pool", "", "k=v", "a = b", "--disabled"});
  const std::string exported = ok({"--db", db_, "export"});
  const std::string file = dir_.write("records.txt", exported);
  const std::string copy = dir_.path() + "/copy.db";
  EXPECT_EQ(ok({"--db", copy, "import", file}), "imported 2 records into '" + copy + "'\n");
  EXPECT_EQ(ok({"--db", copy, "list"}), ok({"--db", db_, "list"}));
  // From standard input too.
  const std::string third = dir_.path() + "/third.db";
  const CCommandResult piped = kv({"--db", third, "import", "-"}, exported);
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_EQ(ok({"--db", third, "list"}), ok({"--db", db_, "list"}));
}

TEST_F(DhcpEvalKvTest, ImportIsAllOrNothing) {
  ok({"--db", db_, "set", "pool", "cm", "00-11", "10.1.0.0"});
  const std::string before = ok({"--db", db_, "list"});
  const std::string file = dir_.write(
      "bad.txt", "class=pool\nkey=a\nvalue=1\n\nclass=pool\nkey=b\n\nclass=pool\nkey=c\nvalue=3\n");
  const CCommandResult refused = kv({"--db", db_, "import", file});
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err, "dhcp-eval: Cannot read key-value records from '" + file +
                             "'. (Record 2 (line 5: 'class=pool'): Failed to set a key_value "
                             "record from text. (Missing 'value' key.))\n");
  EXPECT_EQ(ok({"--db", db_, "list"}), before);
  // A database that did not exist is not created for a file that is refused.
  const std::string fresh = dir_.path() + "/fresh.db";
  EXPECT_EQ(kv({"--db", fresh, "import", file}).status, 2);
  EXPECT_FALSE(std::filesystem::exists(fresh));
}

// Only set and import create a database; a file that is no key-value
// database is refused, in the expression modes too, and left as it was.
TEST_F(DhcpEvalKvTest, OtherCommandsOpenOnlyAKeyValueDatabaseAndChangeNoOtherFile) {
  const std::string missing = dir_.path() + "/missing.db";
  const std::string text = dir_.write("notes.txt", "just some text\n");
  const std::string other = dir_.path() + "/other.db";
  sqlite3* handle = nullptr;
  ASSERT_EQ(sqlite3_open(other.c_str(), &handle), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(handle, "CREATE TABLE t(a); INSERT INTO t VALUES (1);", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);
  sqlite3_close(handle);
  for (const std::string& path : {missing, text, other}) {
    const std::string before = readFile(path);
    for (const std::vector<std::string>& command :
         std::vector<std::vector<std::string>>{{"kv", "--db", path, "get", "a", "b", "c"},
                                               {"kv", "--db", path, "delete", "a", "b", "c"},
                                               {"kv", "--db", path, "list"},
                                               {"kv", "--db", path, "export"},
                                               {"--kv", path, "1"}}) {
      SCOPED_TRACE(path + " " + command[command.size() - 2]);
      const CCommandResult result = runDhcpEval(dir_, command);
      EXPECT_EQ(result.status, 2);
      EXPECT_EQ(lines(result.err).size(), 1u) << result.err;
      EXPECT_EQ(result.err.rfind("dhcp-eval: Cannot open key-value database '" + path + "'.", 0),
                0u)
          << result.err;
    }
    EXPECT_EQ(readFile(path), before);
  }
  EXPECT_EQ(kv({"copy", "--from", db_, "--to", missing}).status, 2);
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(DhcpEvalKvTest, ALockedDatabaseFailsAfterTheTimeoutAndKeepsItsRecords) {
  ok({"--db", db_, "set", "pool", "cm", "00-11", "10.1.0.0"});
  sqlite3* handle = nullptr;
  ASSERT_EQ(sqlite3_open(db_.c_str(), &handle), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(handle, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  const CCommandResult locked =
      kv({"--db", db_, "--db-timeout", "200", "set", "pool", "cm", "00-22", "10.2.0.0"});
  sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(handle);
  EXPECT_NE(locked.status, 0);
  EXPECT_EQ(lines(locked.err).size(), 1u) << locked.err;
  EXPECT_NE(locked.err.find("locked"), std::string::npos) << locked.err;
  EXPECT_EQ(ok({"--db", db_, "list"}), "pool\tcm\t00-11\t10.1.0.0\tenabled\n");
}

TEST_F(DhcpEvalKvTest, CopyStoresEveryRecordInTheOtherDatabase) {
  ok({"--db", db_, "set", "pool", "cm", "00-11", "10.1.0.0"});
  ok({"--db", db_, "set", "pool", "cm", "00-22", "10.2.0.0", "--disabled"});
  const std::string target = dir_.path() + "/target.db";
  ok({"--db", target, "set", "other", "", "k", "v"});
  EXPECT_EQ(ok({"copy", "--from", db_, "--to", target}),
            "copied 2 records from '" + db_ + "' to '" + target + "'\n");
  EXPECT_EQ(ok({"--db", target, "list", "pool"}), ok({"--db", db_, "list"}));
  EXPECT_EQ(lines(ok({"--db", target, "list"})).size(), 3u);
}

TEST_F(DhcpEvalKvTest, UsageErrors) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
      {{}, "kv: a command is needed: set, get, delete, list, import, export or copy"},
      {{"--db", db_, "frob"}, "kv: unknown command 'frob'"},
      {{"--db", db_, "set", "a", "b", "c"}, "kv set takes CLASS SUBCLASS KEY VALUE"},
      {{"--db", db_, "get", "a", "b", "c", "d"}, "kv get takes CLASS SUBCLASS KEY"},
      {{"--db", db_, "list", "a", "b", "c"}, "kv list takes at most CLASS and SUBCLASS"},
      {{"get", "a", "b", "c"}, "kv get needs --db DB"},
      {{"copy", "--from", db_}, "kv copy needs --from DB and --to DB"},
      {{"--db", db_, "list", "--bogus"}, "unknown option '--bogus'"},
      {{"--db", db_, "set", "a", "b", "c", "d", "--disabled=no"},
       "option '--disabled' takes no argument"},
      {{"--db"}, "option '--db' requires an argument"},
  };
  for (const auto& [arguments, message] : rows) {
    SCOPED_TRACE(message);
    const CCommandResult result = kv(arguments);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "dhcp-eval: " + message + "\nTry 'dhcp-eval kv --help'.\n");
    EXPECT_EQ(result.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(db_));
  const CCommandResult help = kv({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: dhcp-eval kv --db DB", 0), 0u) << help.out;
  // "--" lets a key begin with "-".
  EXPECT_EQ(ok({"--db", db_, "set", "--", "a", "b", "-k", "v"}), "");
  EXPECT_EQ(ok({"--db", db_, "get", "--", "a", "b", "-k"}), "v\n");
}

}  // namespace
}  // namespace qvt::test
