// Stores for the key-value tests: the same cases run against an SQLite file
// in a scratch folder and a database of the program's throw-away
// PostgreSQL server.
//
//   CStoreMaker maker(CStoreKind::kPostgres);
//   CTestDatabase db = maker.newDatabase();
//   auto store = maker.open(db);
//   maker.execute(db, "DELETE FROM qvt_keyvalues");   // behind the store's back
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "class_a/prst_generic/CIKeyValueStore.h"

namespace qvt_test {

enum class CStoreKind { kSqlite, kPostgres };

// kindName: "sqlite" or "postgresql", for test names.
std::string kindName(CStoreKind kind);

// shown: records as "class/subclass/key=value" (" off" when disabled),
// joined by "; ".
std::string shown(const std::vector<qvt::CPrstKeyValue>& records);

// CScratchFolder: a temporary folder, removed with its content.
class CScratchFolder {
 public:
  CScratchFolder();
  ~CScratchFolder();
  CScratchFolder(const CScratchFolder&) = delete;
  CScratchFolder& operator=(const CScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  // file: the path of name in the folder.
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

struct CTestDatabase {
  // text: what openKeyValueStore takes; name: the file or database name.
  std::string text;
  std::string name;
};

class CStoreMaker {
 public:
  explicit CStoreMaker(CStoreKind kind) : kind_(kind) {}

  // available: false when the kind's server is not installed.
  bool available() const;
  // newDatabase: a database that does not hold the schema yet.
  CTestDatabase newDatabase();
  // open: openKeyValueStore of database (created when missing).
  std::unique_ptr<qvt::CIKeyValueStore> open(
      const CTestDatabase& database,
      std::chrono::milliseconds timeout = std::chrono::milliseconds(2000)) const;
  // execute: SQL on the database over a connection of the test's own;
  // raises std::runtime_error when it fails.
  void execute(const CTestDatabase& database, const std::string& sql) const;

 private:
  CStoreKind kind_;
  CScratchFolder folder_;
  int files_ = 0;
};

}  // namespace qvt_test
