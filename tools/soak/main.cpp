// dhcp-eval-soak: long runs that show the evaluator and the key-value store
// hold up over time (scripts/soak.sh runs them all).
//
//   dhcp-eval-soak exchanges [COUNT]    COUNT exchanges (default 1000000):
//                                       decode, instance, compile, execute,
//                                       destroy; resident memory traced
//   dhcp-eval-soak executions [COUNT]   one long-lived evaluator through
//                                       COUNT executions (default 10000000)
//   dhcp-eval-soak kv DB [SECONDS]      two writer processes and four reader
//                                       threads on DB for SECONDS (default 60)
//
// Exit status 0 when the run held up (memory flat after warm-up, the same
// values throughout, nothing lost or torn), 1 when it did not, 2 for a
// usage error.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/soak/ExchangeSoak.h"
#include "tools/soak/KeyValueSoak.h"

namespace {

const char kUsage[] =
    "usage: dhcp-eval-soak exchanges [COUNT]\n"
    "       dhcp-eval-soak executions [COUNT]\n"
    "       dhcp-eval-soak kv DB [SECONDS]\n";

// CScratch: a temporary folder of the run, removed at its end.
class CScratch {
 public:
  CScratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dhcp-eval-soak-XXXXXX");
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~CScratch() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  CScratch(const CScratch&) = delete;
  CScratch& operator=(const CScratch&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// number: argument index of argv as a positive number, or fallback when
// it is not given; 0 for a malformed one.
double number(int argc, char** argv, int index, double fallback) {
  if (index >= argc) return fallback;
  char* end = nullptr;
  const double value = std::strtod(argv[index], &end);
  return end != argv[index] && *end == '\0' && value > 0 ? value : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "kv-writer" && argc == 5) {
    return qvt::soak::runKeyValueWriter(argv[2], argv[3], number(argc, argv, 4, 0));
  }
  bool held = false;
  if ((mode == "exchanges" || mode == "executions") && argc <= 3) {
    const double count = number(argc, argv, 2, mode == "exchanges" ? 1e6 : 1e7);
    CScratch scratch;
    if (count == 0 || scratch.path().empty()) {
      std::fputs(kUsage, stderr);
      return 2;
    }
    const auto steps = static_cast<std::uint64_t>(count);
    held = mode == "exchanges" ? qvt::soak::runExchanges(steps, scratch.path())
                               : qvt::soak::runEvaluator(steps, scratch.path());
  } else if (mode == "kv" && (argc == 3 || argc == 4)) {
    const double seconds = number(argc, argv, 3, 60);
    if (seconds == 0) {
      std::fputs(kUsage, stderr);
      return 2;
    }
    held = qvt::soak::runKeyValue(argv[2], seconds, "/proc/self/exe");
  } else {
    std::fputs(kUsage, stderr);
    return 2;
  }
  return held ? 0 : 1;
}
