// CPostgresServer: a throw-away PostgreSQL server for tests and benchmarks.
//
// The server runs from a fresh data folder in a temporary folder, listens
// only on a Unix socket there, trusts local connections and does not sync
// to disk. When the program runs as root, the server runs as the user
// "postgres" (or "nobody"). The data folder is copied from a template made
// once by initdb and kept in the temporary folder, which saves a second per
// test program. The destructor stops the server and removes the folder.
//
//   if (!CPostgresServer::available()) GTEST_SKIP() << CPostgresServer::missingText();
//   CPostgresServer server;
//   const std::string db = server.createDatabase();
//   auto store = openKeyValueStore(server.databaseText(db), {});
//
// Failures of the server itself raise std::runtime_error with the command
// and its log.
#pragma once

#include <string>
#include <vector>

namespace qvt_test {

class CPostgresServer {
 public:
  // kAdmin: the superuser every database is created by.
  static constexpr const char* kAdmin = "kvadmin";

  // available: whether the server's programs are installed.
  static bool available();
  // missingText: why available() is false, for GTEST_SKIP.
  static std::string missingText();

  // shared: one server for the whole program, started on first use and
  // stopped at its end.
  static CPostgresServer& shared();

  // CPostgresServer: starts a new server.
  CPostgresServer();
  ~CPostgresServer();
  CPostgresServer(const CPostgresServer&) = delete;
  CPostgresServer& operator=(const CPostgresServer&) = delete;

  // stop: stops the server at once (as a crash would); start: starts it
  // again on the same data.
  void stop();
  void start();
  bool running() const { return running_; }

  // socketDirectory: the folder of the server's Unix socket.
  const std::string& socketDirectory() const { return folder_; }
  // databaseText: the libpq key=value text of a database and user.
  std::string databaseText(const std::string& database, const std::string& user = kAdmin) const;
  // createDatabase: a new empty database with a name of its own.
  std::string createDatabase();
  // execute: runs SQL as the superuser; the first column of every row.
  std::vector<std::string> execute(const std::string& sql,
                                   const std::string& database = "postgres") const;

 private:
  void _prepareData();
  void _run(const std::vector<std::string>& command) const;

  std::string folder_;
  std::string data_;
  bool running_ = false;
  int databases_ = 0;
};

}  // namespace qvt_test
