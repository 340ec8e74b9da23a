// CPostgresKeyValueStore: key-value records in a PostgreSQL database that
// many servers share.
//
// The schema is created on first use when the database lacks it and the
// user may create tables; otherwise it is checked. Each thread works on a
// connection of its own (CSqlKeyValueStore's pool); a connection that finds
// the server gone is replaced once, and no call waits longer than the
// options' timeout. The password never appears in a message.
//
//   CPostgresKeyValueStore store("host=/run/postgresql dbname=kv", options);
#pragma once

#include <memory>
#include <string>

#include "host/kvstore/CSqlKeyValueStore.h"
#include "host/kvstore/KeyValueStores.h"

namespace qvt::host {

class CPostgresKeyValueStore : public CSqlKeyValueStore {
 public:
  // CPostgresKeyValueStore: connects with the libpq connection text
  // database and prepares the schema. Raises "Cannot open key-value
  // database '%1'." with the reason "Database '%1' is unavailable: %2",
  // "The database has no table 'qvt_keyvalues' and it cannot be created:
  // %1" or another of the schema check (CSqlKeyValueStore).
  CPostgresKeyValueStore(const std::string& database, const CKeyValueStoreOptions& options);
  ~CPostgresKeyValueStore() override;

 protected:
  std::unique_ptr<CKeyValueConnection> _connect() override;

 private:
  const std::string database_;
  const std::string password_;
  const CKeyValueStoreOptions options_;
};

}  // namespace qvt::host
