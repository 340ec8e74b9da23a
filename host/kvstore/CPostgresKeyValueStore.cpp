#include "host/kvstore/CPostgresKeyValueStore.h"

#include <utility>

#include "class_a/standard/CException.h"
#include "host/kvstore/CPostgresConnection.h"
#include "host/kvstore/DatabaseText.h"

namespace qvt::host {

CPostgresKeyValueStore::CPostgresKeyValueStore(const std::string& database,
                                               const CKeyValueStoreOptions& options)
    : CSqlKeyValueStore("CPostgresKeyValueStore", maskedDatabaseText(database)),
      database_(database),
      password_(readDatabaseText(database).password),
      options_(options) {
  std::unique_ptr<CKeyValueConnection> connection;
  try {
    connection = _connect();
    _prepareSchema(*connection, true);
  } catch (const CException& e) {
    _failOpen(e.reason());
  }
  _release(std::move(connection));
}

CPostgresKeyValueStore::~CPostgresKeyValueStore() = default;

std::unique_ptr<CKeyValueConnection> CPostgresKeyValueStore::_connect() {
  return std::make_unique<CPostgresConnection>(database_, description(), password_,
                                               options_.timeout);
}

}  // namespace qvt::host
