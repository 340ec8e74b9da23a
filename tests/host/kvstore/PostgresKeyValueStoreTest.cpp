#include "host/kvstore/CPostgresKeyValueStore.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "CPostgresServer.h"
#include "KeyValueTestStores.h"
#include "TestSupport.h"
#include "host/kvstore/KeyValueCopy.h"
#include "host/kvstore/KeyValueStores.h"

namespace qvt::host {
namespace {

using qvt_test::caught;
using qvt_test::CPostgresServer;
using qvt_test::errorText;
using std::chrono::milliseconds;

CKeyValueStoreOptions options(int timeoutMs = 2000) {
  CKeyValueStoreOptions result;
  result.timeout = milliseconds(timeoutMs);
  return result;
}

std::string valueOf(CIKeyValueStore& store, const CKeyValueKey& key) {
  const std::vector<CPrstKeyValue> records = store.query(kKeyValueByKeyEnabled, key);
  return records.empty() ? "(none)" : records[0].value();
}

class PostgresKeyValueStoreTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!CPostgresServer::available()) GTEST_SKIP() << CPostgresServer::missingText();
    server_ = &CPostgresServer::shared();
    database_ = server_->createDatabase();
    text_ = server_->databaseText(database_);
  }
  void TearDown() override {
    if (server_ && !server_->running()) server_->start();
  }

  CPostgresServer* server_ = nullptr;
  std::string database_;
  std::string text_;
};

TEST_F(PostgresKeyValueStoreTest, ServerStoppedThenStartedAgain) {
  auto store = openKeyValueStore(text_, options());
  CPrstKeyValue record("c", "", "k", "v");
  store->insert(record);
  EXPECT_EQ(valueOf(*store, {"c", "", "k"}), "v");

  // A restart between two lookups: the pooled connection is stale, and the
  // lookup reconnects once without the caller seeing it.
  server_->stop();
  server_->start();
  EXPECT_EQ(valueOf(*store, {"c", "", "k"}), "v");

  server_->stop();
  for (int attempt = 0; attempt < 2; ++attempt) {
    const auto e = caught([&] { valueOf(*store, {"c", "", "k"}); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->description().text(),
              "Cannot run lookup 'keyvalue.class_subclass_key_enabled' "
              "on key-value database '" +
                  text_ + "'.");
    const std::string unavailable = "Database '" + text_ + "' is unavailable: ";
    EXPECT_EQ(e->reason().text().substr(0, unavailable.size()), unavailable);
    EXPECT_EQ(e->module(), "prst_generic");
  }
  CPrstKeyValue other("c", "", "k2", "v2");
  EXPECT_TRUE(caught([&] { store->save(other); }));

  server_->start();
  EXPECT_EQ(valueOf(*store, {"c", "", "k"}), "v");
  store->save(other);
  EXPECT_EQ(valueOf(*store, {"c", "", "k2"}), "v2");
}

TEST_F(PostgresKeyValueStoreTest, ServerThatStopsAnsweringTimesOut) {
  auto store = openKeyValueStore(text_, options(300));
  EXPECT_EQ(valueOf(*store, {"c", "", "k"}), "(none)");
  // Freeze the server process behind the store's connection.
  const std::vector<std::string> backends =
      server_->execute("SELECT pid FROM pg_stat_activity WHERE datname = '" + database_ +
                       "' AND application_name = 'dhcp_eval'");
  ASSERT_EQ(backends.size(), 1u);
  const pid_t backend = std::stoi(backends[0]);
  ASSERT_EQ(kill(backend, SIGSTOP), 0);
  const auto start = std::chrono::steady_clock::now();
  const auto e = caught([&] { valueOf(*store, {"c", "", "k"}); });
  const auto waited = std::chrono::steady_clock::now() - start;
  kill(backend, SIGCONT);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->reason().text(), "Database '" + text_ + "' did not answer within 300 ms.");
  EXPECT_GE(waited, milliseconds(300));
  EXPECT_LT(waited, milliseconds(3000));
  // The next lookup runs on a new connection.
  EXPECT_EQ(valueOf(*store, {"c", "", "k"}), "(none)");
}

TEST_F(PostgresKeyValueStoreTest, SchemaIsCreatedByWhoMayAndCheckedOtherwise) {
  const std::string role = "reader_" + database_;
  server_->execute("CREATE ROLE " + role + " LOGIN");
  const std::string readerText = server_->databaseText(database_, role);
  EXPECT_EQ(errorText([&] { openKeyValueStore(readerText, options()); }),
            "Cannot open key-value database '" + readerText +
                "'. (The database has no table 'qvt_keyvalues' and it cannot be created: "
                "permission denied for schema public)");

  // Four servers starting at once on the empty database: one creates the
  // schema, the others find it.
  std::vector<std::thread> openers;
  std::vector<std::string> errors(4);
  for (int i = 0; i < 4; ++i) {
    openers.emplace_back([&, i] { errors[i] = errorText([&] { openKeyValueStore(text_, {}); }); });
  }
  for (std::thread& opener : openers)
    opener.join();
  EXPECT_EQ(errors, std::vector<std::string>(4, "no error"));

  auto owner = openKeyValueStore(text_, options());
  CPrstKeyValue record("c", "", "k", "v");
  owner->insert(record);
  server_->execute("GRANT SELECT ON qvt_keyvalues, qvt_schema_version TO " + role, database_);
  auto reader = openKeyValueStore(readerText, options());
  EXPECT_EQ(valueOf(*reader, {"c", "", "k"}), "v");
  CPrstKeyValue other("c", "", "k2", "v");
  EXPECT_EQ(errorText([&] { reader->insert(other); }),
            "Cannot insert key-value record (class 'c', subclass '', key 'k2') into '" +
                readerText + "'. (permission denied for table qvt_keyvalues)");
}

TEST_F(PostgresKeyValueStoreTest, PasswordNeverAppearsInErrors) {
  const std::string keywords =
      "host=" + server_->socketDirectory() + " dbname=nosuch user=kvadmin password=Secret-123";
  const std::string uri =
      "postgresql://kvadmin:Secret-123@/nosuch?host=" + server_->socketDirectory();
  for (const std::string& text : {keywords, uri}) {
    SCOPED_TRACE(text);
    const auto e = caught([&] { openKeyValueStore(text, options()); });
    ASSERT_TRUE(e);
    const std::string masked = maskedDatabaseText(text);
    EXPECT_NE(masked.find("****"), std::string::npos);
    EXPECT_EQ(e->text().find("Secret-123"), std::string::npos) << e->text();
    EXPECT_EQ(e->description().text(), "Cannot open key-value database '" + masked + "'.");
    EXPECT_NE(e->reason().text().find("Database '" + masked + "' is unavailable: "),
              std::string::npos);
    EXPECT_NE(e->reason().text().find("database \"nosuch\" does not exist"), std::string::npos);
  }
}

TEST_F(PostgresKeyValueStoreTest, CopiesRecordsBetweenSqliteAndPostgres) {
  qvt_test::CScratchFolder folder;
  CKeyValueStoreOptions create = options();
  create.create = true;
  auto sqlite = openKeyValueStore(folder.file("from.db"), create);
  std::vector<CPrstKeyValue> records = {
      {"pool", "cm", "00-11", "10.1.0.0"}, {"pool", "", "x", "y", false}, {"b", "s", "k", "v"}};
  sqlite->saveAll(records);
  auto postgres = openKeyValueStore(text_, options());
  EXPECT_EQ(copyRecords(*sqlite, *postgres), 3u);
  auto back = openKeyValueStore(folder.file("back.db"), create);
  EXPECT_EQ(copyRecords(*postgres, *back), 3u);
  EXPECT_EQ(qvt_test::shown(postgres->list()), qvt_test::shown(sqlite->list()));
  EXPECT_EQ(qvt_test::shown(back->list()), qvt_test::shown(sqlite->list()));
}

}  // namespace
}  // namespace qvt::host
