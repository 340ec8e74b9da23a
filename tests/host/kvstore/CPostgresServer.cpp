#include "CPostgresServer.h"

#include <fcntl.h>
#include <grp.h>
#include <libpq-fe.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace qvt_test {

namespace {

constexpr const char* kBinaries = "/usr/lib/postgresql/15/bin";

std::string program(const char* name) {
  return std::string(kBinaries) + "/" + name;
}

struct CUser {
  uid_t uid;
  gid_t gid;
};

// serverUser: who runs the server: the server refuses to run as root.
std::optional<CUser> serverUser() {
  if (geteuid() != 0) return std::nullopt;
  for (const char* name : {"postgres", "nobody"}) {
    if (const passwd* entry = getpwnam(name)) return CUser{entry->pw_uid, entry->pw_gid};
  }
  throw std::runtime_error("no unprivileged user to run PostgreSQL as");
}

void giveToServerUser(const std::string& path) {
  if (const auto user = serverUser()) {
    if (chown(path.c_str(), user->uid, user->gid) != 0) {
      throw std::runtime_error("cannot hand " + path + " to the server's user");
    }
  }
}

std::string fileText(const std::string& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// CFileLock: an exclusive lock on a file, across processes.
class CFileLock {
 public:
  explicit CFileLock(const std::string& path) : fd_(::open(path.c_str(), O_CREAT | O_RDWR, 0600)) {
    if (fd_ < 0 || flock(fd_, LOCK_EX) != 0) throw std::runtime_error("cannot lock " + path);
  }
  ~CFileLock() { ::close(fd_); }
  CFileLock(const CFileLock&) = delete;
  CFileLock& operator=(const CFileLock&) = delete;

 private:
  int fd_;
};

}  // namespace

bool CPostgresServer::available() {
  for (const char* name : {"initdb", "pg_ctl", "postgres"}) {
    if (access(program(name).c_str(), X_OK) != 0) return false;
  }
  return true;
}

std::string CPostgresServer::missingText() {
  return std::string("PostgreSQL 15 is not installed (no initdb, pg_ctl and postgres in ") +
         kBinaries + "); scripts/setup.sh installs it";
}

CPostgresServer& CPostgresServer::shared() {
  static CPostgresServer server;
  return server;
}

CPostgresServer::CPostgresServer() {
  char folder[] = "/tmp/qvt-pg-XXXXXX";
  if (!mkdtemp(folder)) throw std::runtime_error("cannot make a temporary folder");
  folder_ = folder;
  data_ = folder_ + "/data";
  try {
    giveToServerUser(folder_);
    _prepareData();
    start();
  } catch (...) {
    std::filesystem::remove_all(folder_);
    throw;
  }
}

CPostgresServer::~CPostgresServer() {
  try {
    if (running_) stop();
  } catch (const std::exception&) {
    // The folder goes in any case; a server left behind loses its socket.
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void CPostgresServer::_prepareData() {
  const std::string cache = "/tmp/qvt-pg-template-15-" + std::to_string(geteuid());
  {
    const CFileLock lock(cache + ".lock");
    if (!std::filesystem::exists(cache + "/PG_VERSION")) {
      const std::string fresh = cache + ".new";
      std::filesystem::remove_all(fresh);
      std::filesystem::create_directory(fresh);
      std::filesystem::permissions(fresh, std::filesystem::perms::owner_all);
      giveToServerUser(fresh);
      _run({program("initdb"), "-D", fresh, "-U", kAdmin, "--auth=trust", "--no-sync", "-E", "UTF8",
            "--locale=C"});
      std::filesystem::rename(fresh, cache);
    }
  }
  _run({"/bin/cp", "-a", cache, data_});
}

void CPostgresServer::start() {
  _run({program("pg_ctl"), "-D", data_, "-l", folder_ + "/server.log", "-w", "-t", "30", "-o",
        "-k " + folder_ +
            // Without fsync a commit still reaches the kernel, so it
            // survives the immediate stop of stop().
            " -c listen_addresses= -c fsync=off -c full_page_writes=off"
            " -c shared_buffers=16MB -c max_connections=40",
        "start"});
  running_ = true;
}

void CPostgresServer::stop() {
  _run({program("pg_ctl"), "-D", data_, "-m", "immediate", "-w", "stop"});
  running_ = false;
}

std::string CPostgresServer::databaseText(const std::string& database,
                                          const std::string& user) const {
  return "host=" + folder_ + " dbname=" + database + " user=" + user;
}

std::string CPostgresServer::createDatabase() {
  const std::string name = "kv_" + std::to_string(++databases_);
  execute("CREATE DATABASE " + name);
  return name;
}

std::vector<std::string> CPostgresServer::execute(const std::string& sql,
                                                  const std::string& database) const {
  const std::unique_ptr<PGconn, void (*)(PGconn*)> connection(
      PQconnectdb(databaseText(database).c_str()), &PQfinish);
  if (PQstatus(connection.get()) != CONNECTION_OK) {
    throw std::runtime_error("cannot connect: " + std::string(PQerrorMessage(connection.get())));
  }
  const std::unique_ptr<PGresult, void (*)(PGresult*)> result(PQexec(connection.get(), sql.c_str()),
                                                              &PQclear);
  const ExecStatusType status = PQresultStatus(result.get());
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    throw std::runtime_error(sql + ": " + PQresultErrorMessage(result.get()));
  }
  std::vector<std::string> values;
  for (int row = 0; row < PQntuples(result.get()); ++row)
    values.emplace_back(PQgetvalue(result.get(), row, 0));
  return values;
}

void CPostgresServer::_run(const std::vector<std::string>& command) const {
  // Everything the child needs is made before fork: between fork and exec
  // only async-signal-safe calls are allowed.
  const std::string log = folder_ + "/commands.log";
  const std::optional<CUser> user = serverUser();
  std::vector<char*> arguments;
  for (const std::string& argument : command)
    arguments.push_back(const_cast<char*>(argument.c_str()));
  arguments.push_back(nullptr);

  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("cannot fork");
  if (child == 0) {
    const int out = ::open(log.c_str(), O_CREAT | O_WRONLY | O_APPEND, 0644);
    if (out >= 0) {
      dup2(out, STDOUT_FILENO);
      dup2(out, STDERR_FILENO);
    }
    if (user && (setgroups(0, nullptr) != 0 || setgid(user->gid) != 0 || setuid(user->uid) != 0)) {
      _exit(126);
    }
    execv(arguments[0], arguments.data());
    _exit(127);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::string line;
    for (const std::string& argument : command)
      line += argument + " ";
    throw std::runtime_error("failed: " + line + "\n" + fileText(log) +
                             fileText(folder_ + "/server.log"));
  }
}

}  // namespace qvt_test
