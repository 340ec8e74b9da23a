// openKeyValueStore: the key-value store a database text names.
//
//   "sqlite:/var/lib/dhcp/kv.db" or a plain path   SQLite, one database file
//   "postgresql://user@host/db", "postgres://..."  PostgreSQL (libpq URI)
//   "host=/run/pg dbname=kv user=dhcp"             PostgreSQL (libpq key=value)
//
//   auto store = openKeyValueStore("kv.db", CKeyValueStoreOptions{});
//   store->query(kKeyValueByKeyEnabled, {"pool", "cm", "00-11"}, CIKeyValueStore::kLookupLimit);
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "class_a/prst_generic/CIKeyValueStore.h"

namespace qvt::host {

struct CKeyValueStoreOptions {
  // create: make a missing database (an SQLite file) and the schema of an
  // empty one; without it a missing or foreign database is refused and left
  // untouched.
  bool create = false;
  // timeout: how long an operation waits for a lock or for the server before
  // it fails.
  std::chrono::milliseconds timeout{5000};
};

// openKeyValueStore: opens (and with options.create, creates) the store.
// Raises (module "prst_generic") "Cannot open key-value database '%1'." with
// the reason, %1 the database text with any password masked.
std::unique_ptr<CIKeyValueStore> openKeyValueStore(const std::string& database,
                                                   const CKeyValueStoreOptions& options);

// maskedDatabaseText: database with the password of a connection text
// replaced by "****" (URI and key=value forms), for messages and logs.
std::string maskedDatabaseText(const std::string& database);

}  // namespace qvt::host
