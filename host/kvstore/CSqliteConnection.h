// CSqliteConnection: one connection to an SQLite key-value database file,
// with its statements prepared once and kept.
//
// The connection waits up to its busy timeout for another writer's lock and
// then fails. Failures raise CException (module "prst_generic") whose
// reason names the kind of trouble, followed by SQLite's text:
//   "The database stayed locked longer than %1 ms (%2)."
//   "The file is not an SQLite database (%1)."
//   "The database file is damaged (%1)."
//   "The database cannot be written (%1)."
//   "The disk or the database is full (%1)."
//   "Reading or writing the database file failed (%1)."
//   "The database file cannot be opened (%1)."
// and SQLite's text alone for other errors.
#pragma once

#include <array>
#include <chrono>
#include <memory>
#include <string>

#include "host/kvstore/CKeyValueConnection.h"

struct sqlite3;
struct sqlite3_stmt;

namespace qvt::host {

class CSqliteConnection : public CKeyValueConnection {
 public:
  // CSqliteConnection: opens path for reading and writing; with create a
  // missing file is made. A file on a read-only file system is opened for
  // reading only (as immutable when no write-ahead log is left beside it),
  // so lookups work and writes fail with "The database cannot be written".
  // Raises when the file cannot be opened.
  CSqliteConnection(const std::string& path, bool create, std::chrono::milliseconds busyTimeout);
  ~CSqliteConnection() override;

  void select(CKeyValueStatement id, std::initializer_list<CSqlArg> args,
              std::vector<CPrstKeyValue>& records) override;
  std::optional<std::int64_t> write(CKeyValueStatement id,
                                    std::initializer_list<CSqlArg> args) override;
  void execute(const char* sql) override;
  std::optional<std::string> firstValue(const char* sql) override;
  void rollback() noexcept override;
  bool lost() const override { return false; }
  bool serverWentAway() const override { return false; }

 private:
  struct CCloser {
    void operator()(sqlite3* db) const;
  };
  struct CFinalizer {
    void operator()(sqlite3_stmt* statement) const;
  };
  using CStatement = std::unique_ptr<sqlite3_stmt, CFinalizer>;

  // _statement: the prepared statement of id, bound to args.
  sqlite3_stmt* _bound(CKeyValueStatement id, std::initializer_list<CSqlArg> args);
  [[noreturn]] void _fail(int code) const;

  std::unique_ptr<sqlite3, CCloser> db_;
  std::array<CStatement, kKeyValueStatementCount> statements_;
  const std::chrono::milliseconds busyTimeout_;
};

}  // namespace qvt::host
