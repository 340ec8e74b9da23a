// KeyValueSql: every SQL text of the key-value stores, the statements both
// dialects share and each dialect's own beside them.
//
// Parameters are written "$1", "$2", ... in both dialects (PostgreSQL
// numbers them so; SQLite binds them by those names). Every selecting
// statement returns the columns KCLASS, SUBCLASS, KKEY, KVALUE, ENABLED,
// MOD_TIME, OID in this order; every writing statement returns the OID of
// the row it touched and no row when it touched none.
//
//   const CKeyValueSql& sql = sqliteSql();
//   sql.statement(CKeyValueStatement::kByKeyEnabled);   // "SELECT ... LIMIT $4"
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace qvt::host {

// CKeyValueStatement: the statements a connection prepares, with their
// parameters.
enum class CKeyValueStatement : std::size_t {
  kByKey,         // $1 class, $2 subclass, $3 key, $4 limit
  kByKeyEnabled,  // $1 class, $2 subclass, $3 key, $4 limit; enabled records only
  kBySubclass,    // $1 class, $2 subclass, $3 limit
  kListAll,       // (none)
  kListClass,     // $1 class
  kInsert,        // $1 class, $2 subclass, $3 key, $4 value, $5 enabled, $6 mod_time
  kUpdate,        // as kInsert; touches no row when the key is absent
  kSave,          // as kInsert; inserts or updates
  kRemove,        // $1 class, $2 subclass, $3 key
};
constexpr std::size_t kKeyValueStatementCount = 9;

// CKeyValueSql: the SQL of one dialect.
struct CKeyValueSql {
  // schemaVersion: the version that createSchema makes and this program
  // reads; a database of a later version is refused.
  static constexpr int kSchemaVersion = 1;

  std::array<const char*, kKeyValueStatementCount> statements;
  // statement: the text of a statement.
  const char* statement(CKeyValueStatement id) const {
    return statements[static_cast<std::size_t>(id)];
  }

  // keyValueTableExists, versionTableExists: a row when the table exists.
  const char* keyValueTableExists;
  const char* versionTableExists;
  // createSchema: run in order in one write transaction; each tolerates
  // objects that already exist (another process may create them first).
  std::vector<const char*> createSchema;
  // checkColumns: selects every column and no row; fails for a table
  // without them.
  const char* checkColumns;
  // schemaVersion: the version of the key-value table, one row or none.
  const char* schemaVersion;
  // beginWrite, commit, rollback: the transaction statements.
  const char* beginWrite;
  const char* commit;
  const char* rollback;
};

// kSqliteWalMode: switches an SQLite database to write-ahead logging, so
// that readers never wait for a writer (kept in the file).
extern const char* const kSqliteWalMode;
// kPostgresSetTimeout: sets the session's statement timeout to $1
// milliseconds.
extern const char* const kPostgresSetTimeout;

// statementName: the name of a statement (the three lookups carry the
// names of CIKeyValueStore; PostgreSQL prepares each under its name).
const char* statementName(CKeyValueStatement id);

// sqliteSql, postgresSql: the two dialects.
const CKeyValueSql& sqliteSql();
const CKeyValueSql& postgresSql();

}  // namespace qvt::host
