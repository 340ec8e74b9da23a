#include "host/kvstore/CSqliteConnection.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <string>
#include <type_traits>

#include "class_a/standard/Fail.h"

namespace qvt::host {

namespace {

// kParameterNames: the names under which SQLite knows "$1" ... "$6".
constexpr const char* kParameterNames[] = {"$1", "$2", "$3", "$4", "$5", "$6"};

// CReset: makes a statement ready for its next use, also after a failure.
class CReset {
 public:
  explicit CReset(sqlite3_stmt* statement) : statement_(statement) {}
  ~CReset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
  }
  CReset(const CReset&) = delete;
  CReset& operator=(const CReset&) = delete;

 private:
  sqlite3_stmt* statement_;
};

std::string columnText(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))
              : std::string();
}

bool onReadOnlyFileSystem(const std::string& path) {
  struct statvfs status {};
  return ::statvfs(path.c_str(), &status) == 0 && (status.f_flag & ST_RDONLY) != 0;
}

bool hasLeftoverLog(const std::string& path) {
  struct stat status {};
  return ::stat((path + "-wal").c_str(), &status) == 0 && status.st_size > 0;
}

// immutableUri: the URI of the file at path opened as immutable ("%", "?"
// and "#" of the path escaped).
std::string immutableUri(const std::string& path) {
  std::string uri = "file:";
  for (const char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      static const char kHex[] = "0123456789ABCDEF";
      uri += '%';
      uri += kHex[static_cast<unsigned char>(c) >> 4];
      uri += kHex[static_cast<unsigned char>(c) & 0xF];
    } else {
      uri += c;
    }
  }
  return uri + "?immutable=1";
}

}  // namespace

void CSqliteConnection::CCloser::operator()(sqlite3* db) const {
  sqlite3_close_v2(db);
}

void CSqliteConnection::CFinalizer::operator()(sqlite3_stmt* statement) const {
  sqlite3_finalize(statement);
}

CSqliteConnection::CSqliteConnection(const std::string& path, bool create,
                                     std::chrono::milliseconds busyTimeout)
    : CKeyValueConnection(sqliteSql()), busyTimeout_(busyTimeout) {
  // One thread at a time uses a connection, so SQLite's own mutex is not
  // needed (NOMUTEX).
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  std::string name = path;
  if (onReadOnlyFileSystem(path)) {
    // Write-ahead logging needs a shared-memory file beside the database,
    // which a read-only file system cannot hold. Without a log left over,
    // the file alone holds every record and nothing can change it, so it
    // is read as immutable: lookups work, writes fail as read-only.
    flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI;
    if (!hasLeftoverLog(path)) name = immutableUri(path);
  }
  sqlite3* db = nullptr;
  const int code = sqlite3_open_v2(name.c_str(), &db, flags, nullptr);
  db_.reset(db);
  if (code != SQLITE_OK) _fail(code);
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, static_cast<int>(busyTimeout.count()));
}

CSqliteConnection::~CSqliteConnection() = default;

sqlite3_stmt* CSqliteConnection::_bound(CKeyValueStatement id,
                                        std::initializer_list<CSqlArg> args) {
  CStatement& slot = statements_[static_cast<std::size_t>(id)];
  if (!slot) {
    sqlite3_stmt* statement = nullptr;
    const int code = sqlite3_prepare_v3(db_.get(), sql().statement(id), -1,
                                        SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    if (code != SQLITE_OK) _fail(code);
    slot.reset(statement);
  }
  sqlite3_stmt* statement = slot.get();
  int number = 0;
  for (const CSqlArg& arg : args) {
    const int index = sqlite3_bind_parameter_index(statement, kParameterNames[number++]);
    const int code = std::visit(
        [&](const auto& value) {
          using T = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<T, std::string_view>) {
            return sqlite3_bind_text(statement, index, value.data(), static_cast<int>(value.size()),
                                     SQLITE_STATIC);
          } else if constexpr (std::is_same_v<T, CSqlFlag>) {
            return sqlite3_bind_int(statement, index, value.value ? 1 : 0);
          } else {
            return sqlite3_bind_int64(statement, index, value);
          }
        },
        arg);
    if (code != SQLITE_OK) {
      sqlite3_clear_bindings(statement);
      _fail(code);
    }
  }
  return statement;
}

void CSqliteConnection::select(CKeyValueStatement id, std::initializer_list<CSqlArg> args,
                               std::vector<CPrstKeyValue>& records) {
  sqlite3_stmt* statement = _bound(id, args);
  const CReset reset(statement);
  int code;
  while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
    CPrstKeyValue& record = records.emplace_back(columnText(statement, 0), columnText(statement, 1),
                                                 columnText(statement, 2), columnText(statement, 3),
                                                 sqlite3_column_int(statement, 4) != 0);
    record.setModTime(sqlite3_column_int64(statement, 5));
    record.setOid(sqlite3_column_int64(statement, 6));
  }
  if (code != SQLITE_DONE) _fail(code);
}

std::optional<std::int64_t> CSqliteConnection::write(CKeyValueStatement id,
                                                     std::initializer_list<CSqlArg> args) {
  sqlite3_stmt* statement = _bound(id, args);
  const CReset reset(statement);
  std::optional<std::int64_t> oid;
  int code;
  // Stepping to the end completes the statement (and, outside a
  // transaction, commits it) before it is reset.
  while ((code = sqlite3_step(statement)) == SQLITE_ROW)
    oid = sqlite3_column_int64(statement, 0);
  if (code != SQLITE_DONE) _fail(code);
  return oid;
}

void CSqliteConnection::execute(const char* sql) {
  const int code = sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr);
  if (code != SQLITE_OK) _fail(code);
}

std::optional<std::string> CSqliteConnection::firstValue(const char* sql) {
  sqlite3_stmt* raw = nullptr;
  int code = sqlite3_prepare_v2(db_.get(), sql, -1, &raw, nullptr);
  const CStatement statement(raw);
  if (code != SQLITE_OK) _fail(code);
  code = sqlite3_step(raw);
  if (code == SQLITE_ROW) return columnText(raw, 0);
  if (code != SQLITE_DONE) _fail(code);
  return std::nullopt;
}

void CSqliteConnection::rollback() noexcept {
  // SQLite may have rolled back already (after a full disk, for one).
  if (!sqlite3_get_autocommit(db_.get())) {
    sqlite3_exec(db_.get(), sql().rollback, nullptr, nullptr, nullptr);
  }
}

void CSqliteConnection::_fail(int code) const {
  const std::string text = db_ ? sqlite3_errmsg(db_.get()) : sqlite3_errstr(code);
  CMessage reason;
  switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      reason = CMessage("The database stayed locked longer than %1 ms (%2).",
                        static_cast<std::int64_t>(busyTimeout_.count()), text);
      break;
    case SQLITE_NOTADB:
      reason = CMessage("The file is not an SQLite database (%1).", text);
      break;
    case SQLITE_CORRUPT:
      reason = CMessage("The database file is damaged (%1).", text);
      break;
    case SQLITE_READONLY:
    case SQLITE_PERM:
      reason = CMessage("The database cannot be written (%1).", text);
      break;
    case SQLITE_FULL:
      reason = CMessage("The disk or the database is full (%1).", text);
      break;
    case SQLITE_IOERR:
      reason = CMessage("Reading or writing the database file failed (%1).", text);
      break;
    case SQLITE_CANTOPEN:
      reason = CMessage("The database file cannot be opened (%1).", text);
      break;
    default:
      reason = CMessage(text);
  }
  fail(CRaiser::of(*this), "prst_generic", "CSqliteConnection::execute", "SQLite statement failed.",
       reason);
}

}  // namespace qvt::host
