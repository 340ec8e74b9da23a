// DatabaseText: reading the text that names a key-value database.
//
//   "sqlite:PATH" or a path                        SQLite
//   "postgresql://..." or "postgres://..."         PostgreSQL, libpq URI
//   "keyword=value ..." (libpq key=value text)     PostgreSQL
//
//   CDatabaseText text = readDatabaseText("host=/run/pg dbname=kv password=x");
//   text.kind;       // CDatabaseKind::kPostgres
//   text.password;   // "x"
#pragma once

#include <string>

namespace qvt::host {

enum class CDatabaseKind { kSqlite, kPostgres };

struct CDatabaseText {
  CDatabaseKind kind;
  // path: the SQLite file ("sqlite:" removed); empty for PostgreSQL.
  std::string path;
  // password: the password a PostgreSQL text carries (URI percent-decoded),
  // or empty.
  std::string password;
};

// readDatabaseText: the kind and parts of database.
CDatabaseText readDatabaseText(const std::string& database);

}  // namespace qvt::host
