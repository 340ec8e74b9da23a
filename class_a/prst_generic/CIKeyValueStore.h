// CIKeyValueStore: where key-value records are kept, and the named lookups
// the evaluators and tools run on them.
//
// A store is shared by every evaluator of a server: each operation may be
// called from any thread at any time (a store keeps its own connections and
// locks). Failures raise CException with module "prst_generic".
//
//   CKeyValueKey key{"pool", "cm", "00-11-22-33-44-55"};
//   std::vector<CPrstKeyValue> hits =
//       store.query(kKeyValueByKeyEnabled, key, CIKeyValueStore::kLookupLimit);
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "class_a/prst_generic/CPrstKeyValue.h"

namespace qvt {

// The named lookups.
// kKeyValueByKey: the record with class, subclass and key, enabled or not.
constexpr const char* kKeyValueByKey = "keyvalue.class_subclass_key";
// kKeyValueByKeyEnabled: the record with class, subclass and key when it is
// enabled (the lookup of $DB.KEYVALUE and $DB.KEYVALUE.EXISTS).
constexpr const char* kKeyValueByKeyEnabled = "keyvalue.class_subclass_key_enabled";
// kKeyValueBySubclass: every record of class and subclass.
constexpr const char* kKeyValueBySubclass = "keyvalue.class_subclass";

// CKeyValueKey: the parameters of a lookup, bound to KCLASS, SUBCLASS and
// KKEY (a lookup ignores those it does not name).
struct CKeyValueKey {
  std::string kclass;
  std::string subclass;
  std::string key;
};

class CIKeyValueStore {
 public:
  // kLookupLimit: the most records one lookup of an evaluator returns.
  static constexpr std::size_t kLookupLimit = 50;
  static constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);

  virtual ~CIKeyValueStore();

  // query: the records of the named lookup statement for key, in primary-key
  // order, at most limit of them. Raises for an unknown statement name and
  // for a database that cannot be read.
  virtual std::vector<CPrstKeyValue> query(const std::string& statement, const CKeyValueKey& key,
                                           std::size_t limit = kNoLimit) = 0;
  // list: every record (of kclass when given), in primary-key order.
  virtual std::vector<CPrstKeyValue> list(const std::optional<std::string>& kclass = {}) = 0;

  // insert: stores a new record and sets its modification time and object
  // id. Raises when a record with the same key exists.
  virtual void insert(CPrstKeyValue& record) = 0;
  // update: replaces value, enabled flag and domains of the record with the
  // same key and sets the modification time. Raises when there is none.
  virtual void update(CPrstKeyValue& record) = 0;
  // save: insert, or update when a record with the same key exists.
  virtual void save(CPrstKeyValue& record) = 0;
  // remove: deletes the record with record's key; false when there was none.
  virtual bool remove(const CKeyValueKey& key) = 0;
  // saveAll: saves every record in one transaction: all of them or, when
  // one fails, none (the error names the record's position, from 1).
  virtual void saveAll(std::vector<CPrstKeyValue>& records) = 0;

  // description: the database as a user names it, with any password masked.
  virtual std::string description() const = 0;

 protected:
  CIKeyValueStore() = default;
  CIKeyValueStore(const CIKeyValueStore&) = delete;
  CIKeyValueStore& operator=(const CIKeyValueStore&) = delete;
};

}  // namespace qvt
