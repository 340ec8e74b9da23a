// dhcp-eval kv under faults: an import killed with SIGKILL at any moment, a
// full disk and a read-only file system leave an SQLite database that
// passes its integrity check and holds all or none of the import, with a
// clear error for the user.
//
// The disk faults use a small tmpfs mounted (and unmounted) by the test;
// they are skipped where mounting is not permitted.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "tools/ToolTestSupport.h"

namespace qvt::test {
namespace {

using CClock = std::chrono::steady_clock;

// sqliteValue: the first column of the first row of sql on the database at
// path, opened read-only, or "error: ...".
std::string sqliteValue(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  std::string found;
  const auto keep = [](void* out, int, char** values, char**) {
    *static_cast<std::string*>(out) = values[0] ? values[0] : "NULL";
    return 1;
  };
  const int code = sqlite3_exec(db, sql.c_str(), keep, &found, nullptr);
  if (code != SQLITE_OK && code != SQLITE_ABORT)
    found = std::string("error: ") + sqlite3_errmsg(db);
  sqlite3_close(db);
  return found;
}

// recordsText: count records of class kclass, each value "<tag>-<i>".
std::string recordsText(const std::string& kclass, const std::string& tag, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += "class=" + kclass + "\nkey=k" + std::to_string(i) + "\nvalue=" + tag + "-" +
            std::to_string(i) + "\n\n";
  }
  return text;
}

off_t fileSize(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 ? status.st_size : 0;
}

class DhcpEvalKvFaultTest : public testing::Test {
 protected:
  ~DhcpEvalKvFaultTest() override {
    if (mounted_) ::umount2(disk_.c_str(), MNT_DETACH);
  }
  CCommandResult kv(const std::string& db, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"kv", "--db", db});
    return runDhcpEval(dir_, arguments);
  }
  // mountDisk: a 1 MiB tmpfs mounted on disk_ for the test's lifetime; the
  // reason when mounting is not permitted, else "".
  std::string mountDisk() {
    ::mkdir(disk_.c_str(), 0755);
    mounted_ = ::mount("tmpfs", disk_.c_str(), "tmpfs", 0, "size=1048576") == 0;
    return mounted_ ? "" : std::strerror(errno);
  }
  // setReadOnly: remounts the tmpfs read-only (or writable again).
  bool setReadOnly(bool readOnly) {
    const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
    return ::mount("tmpfs", disk_.c_str(), "tmpfs", flags, nullptr) == 0;
  }

  CScratchDir dir_;
  const std::string disk_ = dir_.path() + "/disk";
  bool mounted_ = false;
};

// Each round imports 100000 records (more than SQLite's page cache holds,
// so pages reach the write-ahead log before the commit) and is killed at a
// point of its own: at fractions of an import's time, or as soon as the
// log holds a given amount of the open transaction.
TEST_F(DhcpEvalKvFaultTest, ImportKilledAtAnyMomentLeavesAllOrNone) {
  constexpr int kRecords = 100000;
  const std::string db = dir_.path() + "/kv.db";
  const std::string wal = db + "-wal";
  ASSERT_EQ(kv(db, {"set", "keep", "", "k", "v"}).status, 0);

  // How long an import takes when nothing stops it.
  const std::string timed = dir_.path() + "/timed.db";
  const std::string timedFile = dir_.write("timed.txt", recordsText("imp", "t", kRecords));
  const CClock::time_point begin = CClock::now();
  ASSERT_EQ(kv(timed, {"import", timedFile}).status, 0);
  const auto duration = CClock::now() - begin;

  struct CKill {
    double fraction;  // of duration after the start (negative: never), or
    off_t walBytes;   // as soon as the log holds more than this
  };
  const std::vector<CKill> kills = {{0.1, 0}, {0.3, 0},     {0.5, 0},     {0.7, 0}, {0.9, 0},
                                    {0, 1},   {0, 1 << 20}, {0, 3 << 20}, {-1, 0}};
  int midWrite = 0;
  std::vector<int> stored;  // per round: 0 or kRecords
  for (std::size_t round = 0; round < kills.size(); ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string kclass = "imp" + std::to_string(round);
    const std::string file = dir_.write(kclass + ".txt", recordsText(kclass, "r", kRecords));
    // A writer that closes the database checkpoints the log of the last
    // round and removes it.
    ASSERT_EQ(kv(db, {"get", "keep", "", "k"}).out, "v\n");
    ASSERT_EQ(fileSize(wal), 0);
    const pid_t importer = startProgram(dir_, DHCP_EVAL_COMMAND, {"kv", "--db", db, "import", file},
                                        "/dev/null", "/dev/null", "/dev/null");
    ASSERT_GT(importer, 0);
    const CClock::time_point start = CClock::now();
    off_t walAtKill = 0;
    int status = 0;
    bool exited = false;
    for (;;) {
      walAtKill = fileSize(wal);
      const CKill& when = kills[round];
      const bool due = when.walBytes > 0 ? walAtKill >= when.walBytes
                                         : when.fraction >= 0 &&
                                               CClock::now() - start >= duration * when.fraction;
      exited = waitpid(importer, &status, WNOHANG) == importer;
      if (due || exited) break;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    if (!exited) {
      kill(importer, SIGKILL);
      waitpid(importer, &status, 0);
    }

    EXPECT_EQ(sqliteValue(db, "PRAGMA integrity_check"), "ok");
    const std::string ofClass = "SELECT COUNT(*) FROM qvt_keyvalues WHERE KCLASS = ";
    const int count = std::stoi(sqliteValue(db, ofClass + "'" + kclass + "'"));
    EXPECT_TRUE(count == 0 || count == kRecords) << count << " records";
    if (count == kRecords) {
      EXPECT_EQ(sqliteValue(db, ofClass + "'" + kclass + "' AND KVALUE = 'r-' || SUBSTR(KKEY, 2)"),
                std::to_string(kRecords));
    }
    if (count == 0 && walAtKill > 0 && WIFSIGNALED(status)) ++midWrite;
    stored.push_back(count);
    // What earlier rounds left stays as it was.
    for (std::size_t earlier = 0; earlier < stored.size(); ++earlier) {
      EXPECT_EQ(sqliteValue(db, ofClass + "'imp" + std::to_string(earlier) + "'"),
                std::to_string(stored[earlier]));
    }
    EXPECT_EQ(sqliteValue(db, "SELECT KVALUE FROM qvt_keyvalues WHERE KCLASS = 'keep'"), "v");
  }
  // Some import was killed while its transaction had reached the log.
  EXPECT_GT(midWrite, 0);
  const auto all = std::count(stored.begin(), stored.end(), kRecords);
  std::cout << "killed imports: " << stored.size() << " rounds, " << stored.size() - all
            << " left none (" << midWrite << " of them killed mid-write), " << all << " left all\n";
  // The last round let the import finish.
  EXPECT_EQ(stored.back(), kRecords);
  // The database still takes writes through dhcp-eval.
  EXPECT_EQ(kv(db, {"set", "keep", "", "k2", "v2"}).status, 0);
  EXPECT_EQ(kv(db, {"get", "keep", "", "k2"}).out, "v2\n");
}

TEST_F(DhcpEvalKvFaultTest, FullDiskRefusesTheWriteAndKeepsTheDatabase) {
  if (const std::string error = mountDisk(); !error.empty())
    GTEST_SKIP() << "cannot mount a tmpfs: " << error;
  const std::string db = disk_ + "/kv.db";
  ASSERT_EQ(kv(db, {"set", "keep", "", "k", "v"}).status, 0);
  const std::string big = dir_.write("big.txt", recordsText("big", "b", 40000));
  const CCommandResult full = kv(db, {"import", big});
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, "dhcp-eval: Cannot save key-value records to '" + db +
                          "'. (The disk or the database is full (database or disk is full).)\n");
  EXPECT_EQ(sqliteValue(db, "PRAGMA integrity_check"), "ok");
  EXPECT_EQ(sqliteValue(db, "SELECT COUNT(*) FROM qvt_keyvalues"), "1");
  EXPECT_EQ(kv(db, {"get", "keep", "", "k"}).out, "v\n");
  // With room again, the same import goes through.
  const std::string some = dir_.write("some.txt", recordsText("big", "b", 100));
  EXPECT_EQ(kv(db, {"import", some}).status, 0);
  EXPECT_EQ(lines(kv(db, {"list", "big"}).out).size(), 100u);
}

TEST_F(DhcpEvalKvFaultTest, ReadOnlyFileSystemRefusesWritesAndStillAnswersLookups) {
  if (const std::string error = mountDisk(); !error.empty())
    GTEST_SKIP() << "cannot mount a tmpfs: " << error;
  const std::string db = disk_ + "/kv.db";
  ASSERT_EQ(kv(db, {"set", "pool", "cm", "00-11", "10.1.0.0"}).status, 0);
  ASSERT_TRUE(setReadOnly(true));
  const CCommandResult refused = kv(db, {"set", "pool", "cm", "00-22", "10.2.0.0"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err,
            "dhcp-eval: Cannot save key-value record (class 'pool', subclass 'cm', key '00-22') "
            "to '" +
                db +
                "'. (The database cannot be written (attempt to write a readonly database).)\n");
  const CCommandResult lookup =
      runDhcpEval(dir_, {"--kv", db, "--", "$DB.KEYVALUE('pool', 'cm', '00-11')"});
  EXPECT_EQ(lookup.status, 0) << lookup.err;
  EXPECT_EQ(lookup.out, "ip address (ipv4) 10.1.0.0\n");
  EXPECT_EQ(kv(db, {"get", "pool", "cm", "00-11"}).out, "10.1.0.0\n");

  // A writer killed after its commit leaves the record in the log only; the
  // log is read on the read-only file system too.
  ASSERT_TRUE(setReadOnly(false));
  const pid_t writer = fork();
  if (writer == 0) {
    sqlite3* db3 = nullptr;
    sqlite3_open(db.c_str(), &db3);
    const int code = sqlite3_exec(db3,
                                  "INSERT INTO qvt_keyvalues VALUES"
                                  " ('pool', 'cm', '00-33', '10.3.0.0', 1, 0, 99)",
                                  nullptr, nullptr, nullptr);
    _exit(code == SQLITE_OK ? 0 : 1);  // without closing: the log stays
  }
  int status = 0;
  waitpid(writer, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_GT(fileSize(db + "-wal"), 0);
  ASSERT_TRUE(setReadOnly(true));
  EXPECT_EQ(kv(db, {"get", "pool", "cm", "00-33"}).out, "10.3.0.0\n");
  EXPECT_EQ(kv(db, {"set", "pool", "cm", "00-22", "10.2.0.0"}).status, 1);

  ASSERT_TRUE(setReadOnly(false));
  EXPECT_EQ(sqliteValue(db, "PRAGMA integrity_check"), "ok");
  EXPECT_EQ(sqliteValue(db, "SELECT COUNT(*) FROM qvt_keyvalues"), "2");
}

}  // namespace
}  // namespace qvt::test
