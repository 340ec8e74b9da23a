// CSqliteKeyValueStore: key-value records in one SQLite database file, the
// embedded default.
//
// The file is switched to write-ahead logging, so a lookup never waits for a
// writer and sees the records as they were before a writer's open
// transaction; writers wait for each other up to the busy timeout. Each
// thread works on a connection of its own (CSqlKeyValueStore's pool).
//
//   CSqliteKeyValueStore store("/var/lib/dhcp/kv.db", "/var/lib/dhcp/kv.db", options);
#pragma once

#include <memory>
#include <string>

#include "host/kvstore/CSqlKeyValueStore.h"
#include "host/kvstore/KeyValueStores.h"

namespace qvt::host {

class CSqliteKeyValueStore : public CSqlKeyValueStore {
 public:
  // CSqliteKeyValueStore: opens the database file path (database is the
  // text the user gave). A missing file is created, and the schema made in
  // a database without it, only with options.create. Raises "Cannot open
  // key-value database '%1'." with the reason "The database does not
  // exist.", "The database has no table 'qvt_keyvalues'.", SQLite's account
  // (CSqliteConnection) or the schema check's (CSqlKeyValueStore); a file
  // that is refused is left as it was.
  CSqliteKeyValueStore(const std::string& database, std::string path,
                       const CKeyValueStoreOptions& options);
  ~CSqliteKeyValueStore() override;

 protected:
  std::unique_ptr<CKeyValueConnection> _connect() override;

 private:
  const std::string path_;
  const CKeyValueStoreOptions options_;
};

}  // namespace qvt::host
