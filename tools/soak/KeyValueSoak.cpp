#include "tools/soak/KeyValueSoak.h"

#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "class_a/prst_generic/CIKeyValueStore.h"
#include "class_a/standard/CException.h"
#include "host/kvstore/DatabaseText.h"
#include "host/kvstore/KeyValueStores.h"

extern char** environ;

namespace qvt::soak {

namespace {

constexpr int kRecords = 20;
constexpr int kReaders = 4;
const char* const kWriters[] = {"w1", "w2"};

using CClock = std::chrono::steady_clock;

std::unique_ptr<CIKeyValueStore> open(const std::string& database) {
  host::CKeyValueStoreOptions options;
  options.create = true;
  options.timeout = std::chrono::milliseconds(30000);
  return host::openKeyValueStore(database, options);
}

std::vector<CPrstKeyValue> generation(const std::string& writer, long number) {
  std::vector<CPrstKeyValue> records;
  for (int i = 0; i < kRecords; ++i) {
    records.emplace_back("soak", writer, "k" + std::to_string(i),
                         writer + ":" + std::to_string(number));
  }
  return records;
}

// generationOf: the generation all records show, or -1 when they are not
// kRecords records of writer at one generation.
long generationOf(const std::vector<CPrstKeyValue>& records, const std::string& writer) {
  if (records.size() != static_cast<std::size_t>(kRecords)) return -1;
  const std::string& value = records[0].value();
  for (const CPrstKeyValue& record : records) {
    if (record.value() != value) return -1;
  }
  if (value.rfind(writer + ":", 0) != 0) return -1;
  return std::stol(value.substr(writer.size() + 1));
}

// CWriterProcess: a writer started as a process of its own, its standard
// output read through a pipe.
struct CWriterProcess {
  pid_t pid = -1;
  int output = -1;
};

CWriterProcess startWriter(const std::string& program, const std::string& database,
                           const std::string& writer, double seconds) {
  int ends[2];
  if (pipe(ends) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, ends[0]);
  const std::string duration = std::to_string(seconds);
  std::vector<const char*> argv = {program.c_str(), "kv-writer",      database.c_str(),
                                   writer.c_str(),  duration.c_str(), nullptr};
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr,
                                  const_cast<char* const*>(argv.data()), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(ends[1]);
  if (spawned != 0) {
    close(ends[0]);
    return {};
  }
  return {pid, ends[0]};
}

// finishWriter: the writer's report line, or "" when it failed.
std::string finishWriter(const CWriterProcess& process) {
  std::string text;
  char buffer[256];
  ssize_t count;
  while ((count = read(process.output, buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<std::size_t>(count));
  close(process.output);
  int status = 0;
  waitpid(process.pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : "";
}

// integrity: SQLite's integrity check of the file, or "" for another kind.
std::string integrity(const std::string& database) {
  const host::CDatabaseText text = host::readDatabaseText(database);
  if (text.kind != host::CDatabaseKind::kSqlite) return "";
  sqlite3* db = nullptr;
  std::string result = "cannot open";
  if (sqlite3_open_v2(text.path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    const auto keep = [](void* out, int, char** values, char**) {
      *static_cast<std::string*>(out) = values[0] ? values[0] : "";
      return 0;
    };
    if (sqlite3_exec(db, "PRAGMA integrity_check", keep, &result, nullptr) != SQLITE_OK) {
      result = sqlite3_errmsg(db);
    }
  }
  sqlite3_close(db);
  return result;
}

}  // namespace

int runKeyValueWriter(const std::string& database, const std::string& writer, double seconds) {
  long number = 0;
  long transactions = 0;
  try {
    const std::unique_ptr<CIKeyValueStore> store = open(database);
    const CClock::time_point end = CClock::now() + std::chrono::duration_cast<CClock::duration>(
                                                       std::chrono::duration<double>(seconds));
    while (CClock::now() < end) {
      std::vector<CPrstKeyValue> records = generation(writer, number + 1);
      store->saveAll(records);
      ++number;
      ++transactions;
    }
  } catch (const CException& e) {
    std::fprintf(stderr, "%s: %s\n", writer.c_str(), e.text().c_str());
    return 1;
  }
  std::printf("%s %ld %ld\n", writer.c_str(), number, transactions);
  return 0;
}

bool runKeyValue(const std::string& database, double seconds, const std::string& program) {
  std::printf("kv: 2 writer processes and %d reader threads on '%s' for %.0f s\n", kReaders,
              database.c_str(), seconds);
  std::unique_ptr<CIKeyValueStore> store;
  try {
    store = open(database);
    for (const char* writer : kWriters) {
      std::vector<CPrstKeyValue> records = generation(writer, 0);
      store->saveAll(records);
    }
  } catch (const CException& e) {
    std::printf("kv: %s\n", e.text().c_str());
    return false;
  }

  std::vector<CWriterProcess> writers;
  for (const char* writer : kWriters)
    writers.push_back(startWriter(program, database, writer, seconds));
  std::atomic<bool> writing{true};
  std::atomic<long> reads{0};
  std::vector<std::string> problems(kReaders);
  std::vector<std::thread> readers;
  for (int r = 0; r < kReaders; ++r) {
    readers.emplace_back([&, r] {
      std::map<std::string, long> seen;
      try {
        while (writing && problems[r].empty()) {
          for (const char* writer : kWriters) {
            const std::vector<CPrstKeyValue> records =
                store->query(kKeyValueBySubclass, {"soak", writer, ""});
            const long number = generationOf(records, writer);
            if (number < 0) problems[r] = std::string("torn read of ") + writer;
            if (number < seen[writer]) problems[r] = std::string("older read of ") + writer;
            seen[writer] = number;
            ++reads;
          }
        }
      } catch (const CException& e) {
        problems[r] = e.text();
      }
    });
  }

  bool ok = true;
  std::map<std::string, long> last;
  for (std::size_t w = 0; w < writers.size(); ++w) {
    const std::string report = writers[w].pid < 0 ? "" : finishWriter(writers[w]);
    std::istringstream fields(report);
    std::string name;
    long number = -1;
    long transactions = 0;
    if (!(fields >> name >> number >> transactions)) {
      std::printf("kv: writer %s failed\n", kWriters[w]);
      ok = false;
      continue;
    }
    last[name] = number;
    std::printf("kv: writer %s committed %ld transactions of %d records\n", name.c_str(),
                transactions, kRecords);
  }
  writing = false;
  for (std::thread& reader : readers)
    reader.join();
  for (int r = 0; r < kReaders; ++r) {
    if (!problems[r].empty()) {
      std::printf("kv: reader %d: %s\n", r + 1, problems[r].c_str());
      ok = false;
    }
  }
  std::printf("kv: %ld reads of %d records by %d threads\n", reads.load(), kRecords, kReaders);
  try {
    for (const auto& [writer, number] : last) {
      const long found =
          generationOf(store->query(kKeyValueBySubclass, {"soak", writer, ""}), writer);
      std::printf("kv: writer %s: last generation committed %ld, stored %ld\n", writer.c_str(),
                  number, found);
      ok = ok && found == number;
    }
  } catch (const CException& e) {
    std::printf("kv: %s\n", e.text().c_str());
    ok = false;
  }
  const std::string check = integrity(database);
  if (!check.empty()) {
    std::printf("kv: integrity check: %s\n", check.c_str());
    ok = ok && check == "ok";
  }
  std::printf("kv: %s\n", ok ? "nothing lost or torn" : "FAILED");
  return ok;
}

}  // namespace qvt::soak
