// Key-value stores: lookups per second of "keyvalue.class_subclass_key_enabled"
// (the lookup of $DB.KEYVALUE) on an SQLite file and on a throw-away
// PostgreSQL server over its Unix socket, on one and two threads. Two
// hand-written baselines: the same SQLite lookup through the SQLite API
// directly (one prepared statement, no pool), and a std::map lookup that
// copies the record out. And the same lookups as an expression runs them:
// $DB.KEYVALUE on an evaluator of the module's factory, one per thread.
//
//   dhcp_eval_bench --benchmark_filter=KeyValue
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "BenchHost.h"
#include "CPostgresServer.h"
#include "KeyValueTestStores.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/prst_generic/CIKeyValueStore.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/CILogger.h"
#include "class_b/dhcp/dhcp_eval/CDHCPEvalFactory.h"
#include "class_b/dhcp/dhcp_eval/CNodeContext.h"
#include "class_b/dhcp/dhcp_eval/COutputContext.h"
#include "class_b/dhcp/dhcp_eval/CProtocolContext.h"
#include "host/kvstore/KeyValueStores.h"

namespace {

using qvt::CIKeyValueStore;
using qvt::CKeyValueKey;
using qvt::CPrstKeyValue;

constexpr int kRecords = 1000;

// hardwareKey: the i-th key, a hardware address as $STR($HWADDR) writes it.
std::string hardwareKey(int i) {
  char key[18];
  std::snprintf(key, sizeof key, "00-11-22-33-%02X-%02X", (i >> 8) & 0xff, i & 0xff);
  return key;
}

std::vector<CPrstKeyValue> benchRecords() {
  std::vector<CPrstKeyValue> records;
  for (int i = 0; i < kRecords; ++i) {
    records.emplace_back("pool", "cm", hardwareKey(i), "10.1." + std::to_string(i % 256) + ".0",
                         i % 10 != 0);
  }
  return records;
}

std::vector<CKeyValueKey> benchKeys() {
  std::vector<CKeyValueKey> keys;
  for (int i = 0; i < kRecords; ++i)
    keys.push_back({"pool", "cm", hardwareKey(i)});
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

using qvt::bench::CBenchHost;

// CStoreProtocol: a DHCPv4 protocol context whose key-value records are store.
class CStoreProtocol : public CProtocolContext {
 public:
  CStoreProtocol(qvt::CIHostContext* host, CIKeyValueStore& store)
      : CProtocolContext(host, "dhcp4"), store_(store) {}
  qvt::CProtocolFamily protocolFamily() const override {
    return qvt::CProtocolFamily(qvt::CProtocolFamily::kIPv4);
  }
  CIKeyValueStore* keyValueStore() override { return &store_; }

 private:
  CIKeyValueStore& store_;
};

class CNoReply : public COutputContext {
 public:
  qvt::CGeneralPtr<qvt::COption> outgoingMessage() const override {
    return qvt::CGeneralPtr<qvt::COption>();
  }
};

// expressionLookups: $DB.KEYVALUE('pool', 'cm', KEY) over every key, each
// text compiled once by the thread's own evaluator; every value is checked.
void expressionLookups(benchmark::State& state, CIKeyValueStore& store) {
  CBenchHost host;
  CStoreProtocol protocol(&host, store);
  CNodeContext node(nullptr, qvt::CGeneralPtr<qvt::COption>(), {}, qvt::CIPAddress(),
                    qvt::CIPAddress());
  CNoReply reply;
  qvt::CDHCPEvalFactory factory;
  const qvt::CGeneralPtr<qvt::CExpEval> eval = factory.instance(protocol, &node, &reply);
  std::vector<qvt::CGeneralPtr<qvt::CSyntaxTreeProxy>> trees;
  for (const CKeyValueKey& key : benchKeys()) {
    trees.push_back(eval->compile("$DB.KEYVALUE('" + key.kclass + "', '" + key.subclass + "', '" +
                                  key.key + "')"));
  }
  std::size_t i = static_cast<std::size_t>(state.thread_index()) * 7;
  qvt::CVariant value;
  benchmark::IterationCount found = 0;
  for (auto _ : state) {
    eval->execute(value, trees[i % trees.size()]);
    found += value.type() != qvt::CVariantType::kUnknown ? 1 : 0;
    ++i;
  }
  // Every tenth record is disabled, so nine of ten lookups find a value.
  if (found < state.iterations() * 8 / 10) state.SkipWithError("lookups found too few records");
  state.SetItemsProcessed(state.iterations());
}

// guarded: runs a case, ending it with the engine's error text if it raises.
template <typename Case>
void guarded(benchmark::State& state, Case run) {
  try {
    run();
  } catch (const qvt::CException& error) {
    state.SkipWithError(error.text().c_str());
  }
}

void KeyValueExpressionSqlite(benchmark::State& state) {
  guarded(state, [&] { expressionLookups(state, sqliteStore()); });
}

void KeyValueExpressionPostgres(benchmark::State& state) {
  if (!qvt_test::CPostgresServer::available()) {
    state.SkipWithError("PostgreSQL 15 is not installed");
    return;
  }
  guarded(state, [&] { expressionLookups(state, postgresStore()); });
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
BENCHMARK(KeyValueExpressionSqlite)->Threads(1)->Threads(2)->UseRealTime();
BENCHMARK(KeyValueExpressionPostgres)->Threads(1)->Threads(2)->UseRealTime();

}  // namespace
