// CSqlKeyValueStore: the operations of CIKeyValueStore over a pool of SQL
// connections, shared by the SQLite and PostgreSQL stores.
//
// Each operation takes an idle connection from the pool (or opens one), so
// threads never share a connection and no lock is held while a statement
// runs; up to 32 idle connections are kept. When a pooled connection finds that its server went
// away, the operation drops the idle connections and runs once more on a new one.
//
// Failures raise CException (module "prst_generic", operation
// "<store class>::<operation>") with the database text (password masked) in
// the description and the database's account as the reason:
//   query    "Cannot run lookup '%1' on key-value database '%2'."  ("Unknown lookup.")
//   list     "Cannot list key-value records of '%1'."
//   insert   "Cannot insert key-value record (%1) into '%2'."  ("A record with this key exists.")
//   update   "Cannot update key-value record (%1) in '%2'."    ("There is no record with this
//   key.") save     "Cannot save key-value record (%1) to '%2'." remove   "Cannot remove key-value
//   record (%1) from '%2'." saveAll  "Cannot save key-value records to '%1'."  ("Record %1 (%2):
//   %3", from 1)
// where a record is named "class 'c', subclass 's', key 'k'". A record that
// cannot be stored (unstorableReason) is refused with that reason before
// the database is touched.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "class_a/prst_generic/CIKeyValueStore.h"
#include "class_a/standard/CMessage.h"
#include "host/kvstore/CKeyValueConnection.h"

namespace qvt::host {

class CSqlKeyValueStore : public CIKeyValueStore {
 public:
  ~CSqlKeyValueStore() override;

  std::vector<CPrstKeyValue> query(const std::string& statement, const CKeyValueKey& key,
                                   std::size_t limit = kNoLimit) override;
  std::vector<CPrstKeyValue> list(const std::optional<std::string>& kclass = {}) override;
  void insert(CPrstKeyValue& record) override;
  void update(CPrstKeyValue& record) override;
  void save(CPrstKeyValue& record) override;
  bool remove(const CKeyValueKey& key) override;
  void saveAll(std::vector<CPrstKeyValue>& records) override;
  std::string description() const override { return description_; }

 protected:
  // className: the store's class for operation names; description: the
  // database text with any password masked.
  CSqlKeyValueStore(std::string className, std::string description);

  // _connect: a new connection to the database; raises with the reason
  // when it cannot be reached.
  virtual std::unique_ptr<CKeyValueConnection> _connect() = 0;

  // _prepareSchema: checks that the database holds the key-value table
  // with every column and a schema version this program reads; when the
  // table is missing and mayCreate, creates the schema in one transaction.
  // Raises with the reason otherwise.
  static void _prepareSchema(CKeyValueConnection& connection, bool mayCreate);

  // _release: returns a working connection to the idle pool.
  void _release(std::unique_ptr<CKeyValueConnection> connection);

  // _failOpen: raises "Cannot open key-value database '%1'." with reason.
  [[noreturn]] void _failOpen(const CMessage& reason) const;

 private:
  struct CLease;
  CLease _acquire();
  void _dropIdle();

  // _run: action(connection) on a pooled connection, with one more try on
  // a new connection when the server went away; any failure becomes the
  // description that describe() gives, with the failure's reason.
  template <class Describe, class Action>
  auto _run(const char* operation, Describe&& describe, Action&& action);
  // _write: runs one writing statement for record; the OID it returned.
  std::optional<std::int64_t> _writeRecord(CKeyValueConnection& connection, CKeyValueStatement id,
                                           const CPrstKeyValue& record, std::int64_t modTime);
  [[noreturn]] void _fail(const char* operation, const CMessage& description,
                          const CMessage& reason) const;
  void _checkStorable(const char* operation, const CMessage& description,
                      const CPrstKeyValue& record) const;

  const std::string className_;
  const std::string description_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<CKeyValueConnection>> idle_;
};

}  // namespace qvt::host
