// CKeyValueConnection: one connection of a key-value store to its database,
// used by one thread at a time. The store's pool hands connections out.
//
// Every failure raises CException (module "prst_generic") whose reason is
// the database's own account of it (password masked); the store puts its
// own description around that reason.
//
//   std::vector<CPrstKeyValue> hits;
//   connection.select(CKeyValueStatement::kByKey, {kclass, subclass, key, std::int64_t{50}},
//                     hits);   // kclass, subclass, key: std::string
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "class_a/prst_generic/CPrstKeyValue.h"
#include "host/kvstore/KeyValueSql.h"

namespace qvt::host {

// CSqlFlag: a boolean parameter (a type of its own, so that a character
// pointer never turns into a boolean parameter).
struct CSqlFlag {
  bool value;
};
// CSqlArg: a statement parameter: text, integer or boolean.
using CSqlArg = std::variant<std::string_view, std::int64_t, CSqlFlag>;

class CKeyValueConnection {
 public:
  virtual ~CKeyValueConnection();
  CKeyValueConnection(const CKeyValueConnection&) = delete;
  CKeyValueConnection& operator=(const CKeyValueConnection&) = delete;

  // select: runs a selecting statement with args and appends its records.
  virtual void select(CKeyValueStatement id, std::initializer_list<CSqlArg> args,
                      std::vector<CPrstKeyValue>& records) = 0;
  // write: runs a writing statement; the OID of the row it touched, or
  // nothing when it touched none.
  virtual std::optional<std::int64_t> write(CKeyValueStatement id,
                                            std::initializer_list<CSqlArg> args) = 0;
  // execute: runs SQL text without parameters or results (schema,
  // transactions).
  virtual void execute(const char* sql) = 0;
  // firstValue: the first column of the first row of SQL text, or nothing
  // when it gives no row.
  virtual std::optional<std::string> firstValue(const char* sql) = 0;
  // rollback: ends an open transaction without raising; a connection that
  // cannot roll back marks itself lost.
  virtual void rollback() noexcept = 0;

  // lost: the connection no longer reaches its database and must be
  // dropped; serverWentAway: it was lost because the server went away (not
  // by a timeout), so one reconnection may help.
  virtual bool lost() const = 0;
  virtual bool serverWentAway() const = 0;

  // sql: the connection's dialect.
  const CKeyValueSql& sql() const { return sql_; }

 protected:
  explicit CKeyValueConnection(const CKeyValueSql& sql) : sql_(sql) {}

 private:
  const CKeyValueSql& sql_;
};

}  // namespace qvt::host
