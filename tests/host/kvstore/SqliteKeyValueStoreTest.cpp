#include "host/kvstore/CSqliteKeyValueStore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "KeyValueTestStores.h"
#include "TestSupport.h"
#include "host/kvstore/KeyValueStores.h"

namespace qvt::host {
namespace {

using qvt_test::caught;
using qvt_test::CScratchFolder;
using qvt_test::errorText;

// CRawConnection: the test's own connection to an SQLite file.
class CRawConnection {
 public:
  explicit CRawConnection(const std::string& path) {
    EXPECT_EQ(sqlite3_open(path.c_str(), &db_), SQLITE_OK);
  }
  ~CRawConnection() { sqlite3_close(db_); }
  CRawConnection(const CRawConnection&) = delete;
  CRawConnection& operator=(const CRawConnection&) = delete;

  // run: the first value of the last row of sql, or the error text.
  std::string run(const std::string& sql) {
    std::string value;
    char* error = nullptr;
    const auto keep = [](void* out, int, char** values, char**) {
      *static_cast<std::string*>(out) = values[0] ? values[0] : "";
      return 0;
    };
    if (sqlite3_exec(db_, sql.c_str(), keep, &value, &error) != SQLITE_OK) {
      value = std::string("error: ") + error;
      sqlite3_free(error);
    }
    return value;
  }

 private:
  sqlite3* db_ = nullptr;
};

std::string fileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::set<std::string> folderContent(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

CKeyValueStoreOptions options(bool create, int timeoutMs = 2000) {
  CKeyValueStoreOptions result;
  result.create = create;
  result.timeout = std::chrono::milliseconds(timeoutMs);
  return result;
}

// inChild: the text action gives when run in a child process that first
// calls prepare (to take rights or resources away from itself only).
template <class Prepare, class Action>
std::string inChild(Prepare prepare, Action action) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    prepare();
    const std::string text = errorText(action);
    const ssize_t written = write(pipeEnds[1], text.data(), text.size());
    _exit(written == static_cast<ssize_t>(text.size()) ? 0 : 1);
  }
  close(pipeEnds[1]);
  std::string text;
  char buffer[512];
  ssize_t count;
  while ((count = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<std::size_t>(count));
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : "child failed: " + text;
}

TEST(SqliteKeyValueStoreTest, CreatesOnlyWhenAskedAndUsesWriteAheadLogging) {
  CScratchFolder folder;
  const std::string path = folder.file("kv.db");
  EXPECT_EQ(errorText([&] { openKeyValueStore(path, options(false)); }),
            "Cannot open key-value database '" + path + "'. (The database does not exist.)");
  EXPECT_FALSE(std::filesystem::exists(path));
  {
    auto store = openKeyValueStore("sqlite:" + path, options(true));
    EXPECT_EQ(store->description(), "sqlite:" + path);
    CPrstKeyValue record("c", "", "k", "v");
    store->insert(record);
  }
  auto store = openKeyValueStore(path, options(false));
  EXPECT_EQ(store->list().size(), 1u);
  CRawConnection raw(path);
  EXPECT_EQ(raw.run("PRAGMA journal_mode"), "wal");
  EXPECT_EQ(raw.run("SELECT VERSION FROM qvt_schema_version"), "1");
}

TEST(SqliteKeyValueStoreTest, ReaderIsNotBlockedByAWritersOpenTransaction) {
  CScratchFolder folder;
  const std::string path = folder.file("kv.db");
  auto store = openKeyValueStore(path, options(true, 300));
  CPrstKeyValue record("c", "", "k", "old");
  store->insert(record);

  CRawConnection writer(path);
  EXPECT_EQ(writer.run("BEGIN IMMEDIATE; UPDATE qvt_keyvalues SET KVALUE = 'new'"), "");
  const auto values = [&] { return store->query(kKeyValueByKeyEnabled, {"c", "", "k"}); };
  ASSERT_EQ(values().size(), 1u);
  EXPECT_EQ(values()[0].value(), "old");
  // A second writer waits for the lock as long as the timeout allows.
  CPrstKeyValue other("c", "", "k2", "v");
  EXPECT_EQ(errorText([&] { store->save(other); }),
            "Cannot save key-value record (class 'c', subclass '', key 'k2') to '" + path +
                "'. (The database stayed locked longer than 300 ms (database is locked).)");
  EXPECT_EQ(writer.run("COMMIT"), "");
  EXPECT_EQ(values()[0].value(), "new");
  store->save(other);
}

TEST(SqliteKeyValueStoreTest, RefusedFilesStayUntouched) {
  CScratchFolder folder;
  const std::string foreign = folder.file("foreign.db");
  CRawConnection(foreign).run("CREATE TABLE other (a TEXT); INSERT INTO other VALUES ('x')");
  const std::string columns = folder.file("columns.db");
  CRawConnection(columns).run("CREATE TABLE qvt_keyvalues (KCLASS TEXT, KKEY TEXT)");
  const std::string newer = folder.file("newer.db");
  openKeyValueStore(newer, options(true));
  CRawConnection(newer).run("UPDATE qvt_schema_version SET VERSION = 2");
  std::ofstream(folder.file("text.db")) << "class=pool\nkey=k\nvalue=v\n";
  std::ofstream(folder.file("empty.db")).flush();

  struct Row {
    std::string file;
    bool create;
    std::string reason;
  };
  const std::vector<Row> rows = {
      {"text.db", false, "The file is not an SQLite database (file is not a database)."},
      {"text.db", true, "The file is not an SQLite database (file is not a database)."},
      {"empty.db", false, "The database has no table 'qvt_keyvalues'."},
      {"foreign.db", false, "The database has no table 'qvt_keyvalues'."},
      {"columns.db", true,
       "The table 'qvt_keyvalues' is not a key-value table: no such column: SUBCLASS"},
      {"newer.db", false,
       "The database has schema version 2; this program reads version 1 and older."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    const std::string path = folder.file(row.file);
    const std::set<std::string> before = folderContent(folder.path());
    const std::string bytes = fileBytes(path);
    EXPECT_EQ(errorText([&] { openKeyValueStore(path, options(row.create)); }),
              "Cannot open key-value database '" + path + "'. (" + row.reason + ")");
    EXPECT_EQ(fileBytes(path), bytes);
    EXPECT_EQ(folderContent(folder.path()), before);
  }
}

TEST(SqliteKeyValueStoreTest, DamagedFileFailsWithAClearError) {
  CScratchFolder folder;
  const std::string path = folder.file("kv.db");
  {
    auto store = openKeyValueStore(path, options(true));
    std::vector<CPrstKeyValue> records;
    for (int i = 0; i < 300; ++i)
      records.emplace_back("c", "", "key" + std::to_string(i), std::string(100, 'v'));
    store->saveAll(records);
  }
  {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(3 * 4096);
    const std::string garbage(4 * 4096, '\xA5');
    file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
  }
  auto e = caught([&] {
    auto store = openKeyValueStore(path, options(false));
    store->list();
  });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->reason().text(), "The database file is damaged (database disk image is malformed).");
  EXPECT_EQ(e->module(), "prst_generic");
}

TEST(SqliteKeyValueStoreTest, FullDiskAndReadOnlyFileFailCleanly) {
  CScratchFolder folder;
  const std::string path = folder.file("kv.db");
  {
    auto store = openKeyValueStore(path, options(true));
    std::vector<CPrstKeyValue> records = {{"c", "", "k", "v"}};
    store->saveAll(records);
  }
  // A file size limit makes the write-ahead log's writes fail, as a full
  // disk would (with another system error).
  const auto fileLimit = [] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64 * 1024, 64 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
  };
  const std::string full = inChild(fileLimit, [&] {
    auto store = openKeyValueStore(path, options(false));
    std::vector<CPrstKeyValue> records;
    for (int i = 0; i < 200; ++i)
      records.emplace_back("big", "", "k" + std::to_string(i), std::string(1000, 'v'));
    store->saveAll(records);
  });
  EXPECT_EQ(full, "Cannot save key-value records to '" + path +
                      "'. (Reading or writing the database file failed (disk I/O error).)");

  // Root writes any file: the child gives up root first.
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  ASSERT_EQ(chmod(folder.path().c_str(), 0777), 0);
  const auto readOnly = [] {
    if (geteuid() == 0) {
      const passwd* nobody = getpwnam("nobody");
      if (!nobody || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0) _exit(2);
    }
  };
  const std::string refused = inChild(readOnly, [&] {
    auto store = openKeyValueStore(path, options(false));
    if (store->query(kKeyValueByKeyEnabled, {"c", "", "k"}).size() != 1) return;
    CPrstKeyValue record("c", "", "k2", "v");
    store->insert(record);
  });
  EXPECT_EQ(refused, "Cannot insert key-value record (class 'c', subclass '', key 'k2') into '" +
                         path +
                         "'. (The database cannot be written (attempt to write a readonly "
                         "database).)");

  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  auto store = openKeyValueStore(path, options(false));
  EXPECT_EQ(store->list().size(), 1u);
  EXPECT_EQ(CRawConnection(path).run("PRAGMA integrity_check"), "ok");
}

}  // namespace
}  // namespace qvt::host
