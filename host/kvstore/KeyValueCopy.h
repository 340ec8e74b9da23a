// copyRecords: copies every key-value record from one store into another,
// for moving records between databases (SQLite to PostgreSQL and back):
//
//   auto from = openKeyValueStore("kv.db", {});
//   auto to = openKeyValueStore("host=/run/postgresql dbname=kv", {});
//   copyRecords(*from, *to);   // the number of records copied
#pragma once

#include <cstddef>

#include "class_a/prst_generic/CIKeyValueStore.h"

namespace qvt::host {

// copyRecords: lists from and saves the records into to in one transaction
// of to: all of them or none. Records of to with other keys stay; the
// target sets modification times and object ids of its own. Raises the
// stores' errors (CIKeyValueStore::list of from, saveAll of to).
std::size_t copyRecords(CIKeyValueStore& from, CIKeyValueStore& to);

}  // namespace qvt::host
