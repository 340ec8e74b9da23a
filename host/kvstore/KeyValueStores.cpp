#include "host/kvstore/KeyValueStores.h"

#include "class_a/standard/Fail.h"
#include "host/kvstore/CPostgresKeyValueStore.h"
#include "host/kvstore/CSqliteKeyValueStore.h"
#include "host/kvstore/DatabaseText.h"

namespace qvt::host {

std::unique_ptr<CIKeyValueStore> openKeyValueStore(const std::string& database,
                                                   const CKeyValueStoreOptions& options) {
  const CDatabaseText text = readDatabaseText(database);
  if (text.kind == CDatabaseKind::kPostgres) {
    return std::make_unique<CPostgresKeyValueStore>(database, options);
  }
  if (text.path.empty()) {
    fail(CRaiser::none(), "prst_generic", "openKeyValueStore",
         {"Cannot open key-value database '%1'.", database}, "No database file given.");
  }
  return std::make_unique<CSqliteKeyValueStore>(database, text.path, options);
}

}  // namespace qvt::host
