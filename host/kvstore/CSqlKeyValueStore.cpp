#include "host/kvstore/CSqlKeyValueStore.h"

#include <cstring>
#include <limits>
#include <utility>

#include "class_a/standard/CNumberConversion.h"
#include "class_a/standard/CTimeT.h"
#include "class_a/standard/Fail.h"
#include "host/kvstore/KeyValueRecordCheck.h"

namespace qvt::host {

namespace {

constexpr const char* kModule = "prst_generic";
// The most idle connections a store keeps open.
constexpr std::size_t kMaxIdle = 32;

[[noreturn]] void failReason(const char* operation, const CMessage& reason) {
  fail(CRaiser::none(), kModule, operation, "Key-value database operation failed.", reason);
}

// CTransaction: a write transaction that rolls back unless committed.
class CTransaction {
 public:
  explicit CTransaction(CKeyValueConnection& connection) : connection_(connection) {
    connection_.execute(connection_.sql().beginWrite);
  }
  ~CTransaction() {
    if (open_) connection_.rollback();
  }
  CTransaction(const CTransaction&) = delete;
  CTransaction& operator=(const CTransaction&) = delete;

  void commit() {
    connection_.execute(connection_.sql().commit);
    open_ = false;
  }

 private:
  CKeyValueConnection& connection_;
  bool open_ = true;
};

// lookupStatement: the statement of a lookup name, or nothing.
std::optional<CKeyValueStatement> lookupStatement(const std::string& name) {
  for (const CKeyValueStatement id : {CKeyValueStatement::kByKey, CKeyValueStatement::kByKeyEnabled,
                                      CKeyValueStatement::kBySubclass}) {
    if (name == statementName(id)) return id;
  }
  return std::nullopt;
}

}  // namespace

struct CSqlKeyValueStore::CLease {
  CLease(CSqlKeyValueStore& owner, std::unique_ptr<CKeyValueConnection> leased, bool wasIdle)
      : store(owner), connection(std::move(leased)), reused(wasIdle) {}
  CLease(CLease&&) = default;
  CLease& operator=(CLease&&) = delete;
  ~CLease() {
    if (connection && !connection->lost()) store._release(std::move(connection));
  }

  CSqlKeyValueStore& store;
  std::unique_ptr<CKeyValueConnection> connection;
  // reused: taken from the pool, so it may have outlived its server.
  bool reused;
};

CSqlKeyValueStore::CSqlKeyValueStore(std::string className, std::string description)
    : className_(std::move(className)), description_(std::move(description)) {}

CSqlKeyValueStore::~CSqlKeyValueStore() = default;

CSqlKeyValueStore::CLease CSqlKeyValueStore::_acquire() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!idle_.empty()) {
      std::unique_ptr<CKeyValueConnection> connection = std::move(idle_.back());
      idle_.pop_back();
      return CLease(*this, std::move(connection), true);
    }
  }
  return CLease(*this, _connect(), false);
}

void CSqlKeyValueStore::_release(std::unique_ptr<CKeyValueConnection> connection) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (idle_.size() < kMaxIdle) idle_.push_back(std::move(connection));
}

void CSqlKeyValueStore::_dropIdle() {
  std::vector<std::unique_ptr<CKeyValueConnection>> dropped;
  const std::lock_guard<std::mutex> lock(mutex_);
  dropped.swap(idle_);
}

template <class Describe, class Action>
auto CSqlKeyValueStore::_run(const char* operation, Describe&& describe, Action&& action) {
  for (int attempt = 0;; ++attempt) {
    std::optional<CLease> lease;
    try {
      lease.emplace(_acquire());
      return action(*lease->connection);
    } catch (const CException& e) {
      // Idle connections outlive a server restart; the first use of each
      // finds it gone. One new connection settles whether the server is back.
      const bool retry =
          attempt == 0 && lease && lease->reused && lease->connection->serverWentAway();
      lease.reset();
      if (!retry) _fail(operation, describe(), e.reason());
      _dropIdle();
    }
  }
}

void CSqlKeyValueStore::_prepareSchema(CKeyValueConnection& connection, bool mayCreate) {
  constexpr const char* kOperation = "CSqlKeyValueStore::_prepareSchema";
  const CKeyValueSql& sql = connection.sql();
  if (!connection.firstValue(sql.keyValueTableExists)) {
    if (!mayCreate) failReason(kOperation, "The database has no table 'qvt_keyvalues'.");
    try {
      CTransaction transaction(connection);
      for (const char* statement : sql.createSchema)
        connection.execute(statement);
      transaction.commit();
    } catch (const CException& e) {
      failReason(kOperation, {"The database has no table 'qvt_keyvalues' and it cannot be "
                              "created: %1",
                              e.reason().text()});
    }
  }
  try {
    connection.execute(sql.checkColumns);
  } catch (const CException& e) {
    failReason(kOperation,
               {"The table 'qvt_keyvalues' is not a key-value table: %1", e.reason().text()});
  }
  if (!connection.firstValue(sql.versionTableExists)) return;
  const std::optional<std::string> version = connection.firstValue(sql.schemaVersion);
  if (version && CNumberConversion::toInt64(*version) > CKeyValueSql::kSchemaVersion) {
    failReason(kOperation, {"The database has schema version %1; this program reads version %2 "
                            "and older.",
                            *version, CKeyValueSql::kSchemaVersion});
  }
}

std::vector<CPrstKeyValue> CSqlKeyValueStore::query(const std::string& statement,
                                                    const CKeyValueKey& key, std::size_t limit) {
  // Built only on failure: a lookup is the evaluators' hot path.
  const auto describe = [&] {
    return CMessage("Cannot run lookup '%1' on key-value database '%2'.", statement, description_);
  };
  const std::optional<CKeyValueStatement> id = lookupStatement(statement);
  if (!id) _fail("query", describe(), "Unknown lookup.");
  constexpr auto kMaxLimit = static_cast<std::size_t>(std::numeric_limits<std::int64_t>::max());
  const auto rows = static_cast<std::int64_t>(limit < kMaxLimit ? limit : kMaxLimit);
  return _run("query", describe, [&](CKeyValueConnection& connection) {
    std::vector<CPrstKeyValue> records;
    if (*id == CKeyValueStatement::kBySubclass) {
      connection.select(*id, {key.kclass, key.subclass, rows}, records);
    } else {
      connection.select(*id, {key.kclass, key.subclass, key.key, rows}, records);
    }
    return records;
  });
}

std::vector<CPrstKeyValue> CSqlKeyValueStore::list(const std::optional<std::string>& kclass) {
  const CMessage description("Cannot list key-value records of '%1'.", description_);
  return _run(
      "list", [&] { return description; },
      [&](CKeyValueConnection& connection) {
        std::vector<CPrstKeyValue> records;
        if (kclass) {
          connection.select(CKeyValueStatement::kListClass, {*kclass}, records);
        } else {
          connection.select(CKeyValueStatement::kListAll, {}, records);
        }
        return records;
      });
}

std::optional<std::int64_t> CSqlKeyValueStore::_writeRecord(CKeyValueConnection& connection,
                                                            CKeyValueStatement id,
                                                            const CPrstKeyValue& record,
                                                            std::int64_t modTime) {
  return connection.write(id, {record.kclass(), record.subclass(), record.key(), record.value(),
                               CSqlFlag{record.enabled()}, modTime});
}

void CSqlKeyValueStore::insert(CPrstKeyValue& record) {
  const CMessage description("Cannot insert key-value record (%1) into '%2'.", recordName(record),
                             description_);
  _checkStorable("insert", description, record);
  const std::int64_t now = CTimeT::now().seconds();
  const std::optional<std::int64_t> oid = _run(
      "insert", [&] { return description; },
      [&](CKeyValueConnection& connection) {
        return _writeRecord(connection, CKeyValueStatement::kInsert, record, now);
      });
  if (!oid) _fail("insert", description, "A record with this key exists.");
  record.setModTime(now);
  record.setOid(*oid);
}

void CSqlKeyValueStore::update(CPrstKeyValue& record) {
  const CMessage description("Cannot update key-value record (%1) in '%2'.", recordName(record),
                             description_);
  _checkStorable("update", description, record);
  const std::int64_t now = CTimeT::now().seconds();
  const std::optional<std::int64_t> oid = _run(
      "update", [&] { return description; },
      [&](CKeyValueConnection& connection) {
        return _writeRecord(connection, CKeyValueStatement::kUpdate, record, now);
      });
  if (!oid) _fail("update", description, "There is no record with this key.");
  record.setModTime(now);
  record.setOid(*oid);
}

void CSqlKeyValueStore::save(CPrstKeyValue& record) {
  const CMessage description("Cannot save key-value record (%1) to '%2'.", recordName(record),
                             description_);
  _checkStorable("save", description, record);
  const std::int64_t now = CTimeT::now().seconds();
  const std::optional<std::int64_t> oid = _run(
      "save", [&] { return description; },
      [&](CKeyValueConnection& connection) {
        return _writeRecord(connection, CKeyValueStatement::kSave, record, now);
      });
  record.setModTime(now);
  record.setOid(oid.value_or(0));
}

bool CSqlKeyValueStore::remove(const CKeyValueKey& key) {
  const CMessage description("Cannot remove key-value record (%1) from '%2'.",
                             recordName(CPrstKeyValue(key.kclass, key.subclass, key.key, "")),
                             description_);
  return _run(
      "remove", [&] { return description; },
      [&](CKeyValueConnection& connection) {
        return connection.write(CKeyValueStatement::kRemove, {key.kclass, key.subclass, key.key})
            .has_value();
      });
}

void CSqlKeyValueStore::saveAll(std::vector<CPrstKeyValue>& records) {
  const CMessage description("Cannot save key-value records to '%1'.", description_);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const std::string reason = unstorableReason(records[i]);
    if (!reason.empty()) {
      _fail("saveAll", description, {"Record %1 (%2): %3", i + 1, recordName(records[i]), reason});
    }
  }
  if (records.empty()) return;
  const std::int64_t now = CTimeT::now().seconds();
  const std::vector<std::int64_t> oids = _run(
      "saveAll", [&] { return description; },
      [&](CKeyValueConnection& connection) {
        std::vector<std::int64_t> saved;
        saved.reserve(records.size());
        CTransaction transaction(connection);
        for (std::size_t i = 0; i < records.size(); ++i) {
          try {
            saved.push_back(
                _writeRecord(connection, CKeyValueStatement::kSave, records[i], now).value_or(0));
          } catch (const CException& e) {
            failReason("CSqlKeyValueStore::saveAll",
                       {"Record %1 (%2): %3", i + 1, recordName(records[i]), e.reason().text()});
          }
        }
        transaction.commit();
        return saved;
      });
  for (std::size_t i = 0; i < records.size(); ++i) {
    records[i].setModTime(now);
    records[i].setOid(oids[i]);
  }
}

void CSqlKeyValueStore::_fail(const char* operation, const CMessage& description,
                              const CMessage& reason) const {
  fail(CRaiser::of(*this), kModule, className_ + "::" + operation, description, reason);
}

void CSqlKeyValueStore::_failOpen(const CMessage& reason) const {
  _fail("open", {"Cannot open key-value database '%1'.", description_}, reason);
}

void CSqlKeyValueStore::_checkStorable(const char* operation, const CMessage& description,
                                       const CPrstKeyValue& record) const {
  const std::string reason = unstorableReason(record);
  if (!reason.empty()) _fail(operation, description, reason);
}

}  // namespace qvt::host
