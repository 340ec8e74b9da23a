#include "KeyValueTestStores.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "CPostgresServer.h"
#include "host/kvstore/KeyValueStores.h"

namespace qvt_test {

std::string kindName(CStoreKind kind) {
  return kind == CStoreKind::kSqlite ? "sqlite" : "postgresql";
}

std::string shown(const std::vector<qvt::CPrstKeyValue>& records) {
  std::string text;
  for (const qvt::CPrstKeyValue& r : records) {
    if (!text.empty()) text += "; ";
    text += r.kclass() + "/" + r.subclass() + "/" + r.key() + "=" + r.value() +
            (r.enabled() ? "" : " off");
  }
  return text;
}

CScratchFolder::CScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qvt-kv-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
  path_ = pattern;
}

CScratchFolder::~CScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool CStoreMaker::available() const {
  return kind_ == CStoreKind::kSqlite || CPostgresServer::available();
}

CTestDatabase CStoreMaker::newDatabase() {
  if (kind_ == CStoreKind::kSqlite) {
    const std::string path = folder_.file("kv" + std::to_string(++files_) + ".db");
    return {path, path};
  }
  CPostgresServer& server = CPostgresServer::shared();
  const std::string name = server.createDatabase();
  return {server.databaseText(name), name};
}

std::unique_ptr<qvt::CIKeyValueStore> CStoreMaker::open(const CTestDatabase& database,
                                                        std::chrono::milliseconds timeout) const {
  qvt::host::CKeyValueStoreOptions options;
  options.create = true;
  options.timeout = timeout;
  return qvt::host::openKeyValueStore(database.text, options);
}

void CStoreMaker::execute(const CTestDatabase& database, const std::string& sql) const {
  if (kind_ == CStoreKind::kPostgres) {
    CPostgresServer::shared().execute(sql, database.name);
    return;
  }
  sqlite3* db = nullptr;
  const int opened = sqlite3_open_v2(database.name.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  char* error = nullptr;
  const int code =
      opened == SQLITE_OK ? sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) : opened;
  const std::string text = error ? error : sqlite3_errstr(code);
  sqlite3_free(error);
  sqlite3_close(db);
  if (code != SQLITE_OK) throw std::runtime_error(sql + ": " + text);
}

}  // namespace qvt_test
