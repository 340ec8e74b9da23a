// Key-value stores: lookups per second of "keyvalue.class_subclass_key_enabled"
// (the lookup of $DB.KEYVALUE) on an SQLite file and on a throw-away
// PostgreSQL server over its Unix socket, on one and two threads. Two
// hand-written baselines: the same SQLite lookup through the SQLite API
// directly (one prepared statement, no pool), and a std::map lookup that
// copies the record out.
//
//   dhcp_eval_bench --benchmark_filter=KeyValue
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "CPostgresServer.h"
#include "KeyValueTestStores.h"
#include "class_a/prst_generic/CIKeyValueStore.h"
#include "host/kvstore/KeyValueStores.h"

namespace {

using qvt::CIKeyValueStore;
using qvt::CKeyValueKey;
using qvt::CPrstKeyValue;

constexpr int kRecords = 1000;

std::vector<CPrstKeyValue> benchRecords() {
  std::vector<CPrstKeyValue> records;
  for (int i = 0; i < kRecords; ++i) {
    records.emplace_back("pool", "cm", "00-11-22-33-" + std::to_string(i),
                         "10.1." + std::to_string(i % 256) + ".0", i % 10 != 0);
  }
  return records;
}

std::vector<CKeyValueKey> benchKeys() {
  std::vector<CKeyValueKey> keys;
  for (int i = 0; i < kRecords; ++i)
    keys.push_back({"pool", "cm", "00-11-22-33-" + std::to_string(i)});
  return keys;
}

std::unique_ptr<CIKeyValueStore> filledStore(const std::string& database) {
  qvt::host::CKeyValueStoreOptions options;
  options.create = true;
  auto store = qvt::host::openKeyValueStore(database, options);
  std::vector<CPrstKeyValue> records = benchRecords();
  store->saveAll(records);
  return store;
}

// Made once, on first use, and shared by the benchmark's threads.
const std::string& sqlitePath() {
  static qvt_test::CScratchFolder folder;
  static const std::string path = folder.file("bench.db");
  return path;
}

CIKeyValueStore& sqliteStore() {
  static const std::unique_ptr<CIKeyValueStore> store = filledStore(sqlitePath());
  return *store;
}

CIKeyValueStore& postgresStore() {
  static qvt_test::CPostgresServer server;
  static const std::unique_ptr<CIKeyValueStore> store =
      filledStore(server.databaseText(server.createDatabase()));
  return *store;
}

void lookups(benchmark::State& state, CIKeyValueStore& store) {
  static const std::vector<CKeyValueKey> keys = benchKeys();
  std::size_t i = static_cast<std::size_t>(state.thread_index()) * 7;
  for (auto _ : state) {
    benchmark::DoNotOptimize(store.query(qvt::kKeyValueByKeyEnabled, keys[i % keys.size()],
                                         CIKeyValueStore::kLookupLimit));
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}

void KeyValueLookupSqlite(benchmark::State& state) {
  lookups(state, sqliteStore());
}

void KeyValueLookupPostgres(benchmark::State& state) {
  if (!qvt_test::CPostgresServer::available()) {
    state.SkipWithError("PostgreSQL 15 is not installed");
    return;
  }
  lookups(state, postgresStore());
}

void KeyValueLookupSqliteApiBaseline(benchmark::State& state) {
  sqliteStore();
  static const std::vector<CKeyValueKey> keys = benchKeys();
  sqlite3* db = nullptr;
  sqlite3_open_v2(sqlitePath().c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT KCLASS, SUBCLASS, KKEY, KVALUE, ENABLED, MOD_TIME, OID"
                     " FROM qvt_keyvalues WHERE KCLASS = ?1 AND SUBCLASS = ?2 AND KKEY = ?3"
                     " AND ENABLED = TRUE LIMIT 50",
                     -1, &statement, nullptr);
  const auto text = [&](int column) {
    return std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                       static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
  };
  std::size_t i = 0;
  for (auto _ : state) {
    const CKeyValueKey& key = keys[i++ % keys.size()];
    sqlite3_bind_text(statement, 1, key.kclass.data(), static_cast<int>(key.kclass.size()),
                      SQLITE_STATIC);
    sqlite3_bind_text(statement, 2, key.subclass.data(), static_cast<int>(key.subclass.size()),
                      SQLITE_STATIC);
    sqlite3_bind_text(statement, 3, key.key.data(), static_cast<int>(key.key.size()),
                      SQLITE_STATIC);
    std::vector<CPrstKeyValue> found;
    while (sqlite3_step(statement) == SQLITE_ROW) {
      CPrstKeyValue& record = found.emplace_back(text(0), text(1), text(2), text(3),
                                                 sqlite3_column_int(statement, 4) != 0);
      record.setModTime(sqlite3_column_int64(statement, 5));
      record.setOid(sqlite3_column_int64(statement, 6));
    }
    sqlite3_reset(statement);
    benchmark::DoNotOptimize(found);
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations());
}

void KeyValueLookupMapBaseline(benchmark::State& state) {
  static const auto map = [] {
    std::map<std::tuple<std::string, std::string, std::string>, CPrstKeyValue> records;
    for (const CPrstKeyValue& record : benchRecords())
      records.emplace(std::make_tuple(record.kclass(), record.subclass(), record.key()), record);
    return records;
  }();
  static const std::vector<CKeyValueKey> keys = benchKeys();
  std::size_t i = 0;
  for (auto _ : state) {
    const CKeyValueKey& key = keys[i++ % keys.size()];
    std::vector<CPrstKeyValue> found;
    const auto hit = map.find(std::make_tuple(key.kclass, key.subclass, key.key));
    if (hit != map.end() && hit->second.enabled()) found.push_back(hit->second);
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(KeyValueLookupMapBaseline);
BENCHMARK(KeyValueLookupSqliteApiBaseline);
BENCHMARK(KeyValueLookupSqlite)->Threads(1)->Threads(2)->UseRealTime();
BENCHMARK(KeyValueLookupPostgres)->Threads(1)->Threads(2)->UseRealTime();

}  // namespace
