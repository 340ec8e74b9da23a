#include "host/kvstore/CSqliteKeyValueStore.h"

#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "class_a/standard/CException.h"
#include "host/kvstore/CSqliteConnection.h"

namespace qvt::host {

CSqliteKeyValueStore::CSqliteKeyValueStore(const std::string& database, std::string path,
                                           const CKeyValueStoreOptions& options)
    : CSqlKeyValueStore("CSqliteKeyValueStore", database),
      path_(std::move(path)),
      options_(options) {
  struct stat status {};
  if (!options.create && ::stat(path_.c_str(), &status) != 0 && errno == ENOENT) {
    _failOpen("The database does not exist.");
  }
  std::unique_ptr<CKeyValueConnection> connection;
  try {
    connection = std::make_unique<CSqliteConnection>(path_, options.create, options.timeout);
    _prepareSchema(*connection, options.create);
  } catch (const CException& e) {
    _failOpen(e.reason());
  }
  // Only a file that passed the check is switched, as the switch writes to
  // its header. A file this process may only read stays as it is and can
  // still be read.
  try {
    connection->execute(kSqliteWalMode);
  } catch (const CException&) {
  }
  _release(std::move(connection));
}

CSqliteKeyValueStore::~CSqliteKeyValueStore() = default;

std::unique_ptr<CKeyValueConnection> CSqliteKeyValueStore::_connect() {
  return std::make_unique<CSqliteConnection>(path_, false, options_.timeout);
}

}  // namespace qvt::host
