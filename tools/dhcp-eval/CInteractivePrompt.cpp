#include "tools/dhcp-eval/CInteractivePrompt.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

// <editline/readline.h> uses FILE without including <stdio.h> itself.
#include <editline/readline.h>

namespace qvt::tool {

namespace {

struct CFreeLine {
  void operator()(char* line) const { std::free(line); }
};

}  // namespace

CInteractivePrompt::CInteractivePrompt(std::string prompt, std::string historyPath)
    : prompt_(std::move(prompt)), historyPath_(std::move(historyPath)) {
  using_history();
  stifle_history(kHistoryEntries);
  if (!historyPath_.empty()) read_history(historyPath_.c_str());
}

CInteractivePrompt::~CInteractivePrompt() {
  clear_history();
}

bool CInteractivePrompt::readLine(std::string& line) {
  const std::unique_ptr<char, CFreeLine> typed(readline(prompt_.c_str()));
  if (!typed) return false;
  line = typed.get();
  _remember(line);
  return true;
}

void CInteractivePrompt::_remember(const std::string& line) {
  if (line.find_first_not_of(" \t") == std::string::npos || line == lastLine_) return;
  lastLine_ = line;
  add_history(line.c_str());
  if (historyPath_.empty()) return;
  // Expressions may hold secrets ($SENCRYPT arguments): owner only.
  const mode_t previous = umask(077);
  write_history(historyPath_.c_str());
  umask(previous);
  chmod(historyPath_.c_str(), S_IRUSR | S_IWUSR);
}

std::string CInteractivePrompt::defaultHistoryPath() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    const passwd* const entry = getpwuid(getuid());
    home = entry != nullptr ? entry->pw_dir : nullptr;
  }
  if (home == nullptr || *home == '\0') return std::string();
  std::string path = home;
  if (path.back() != '/') path += '/';
  return path + ".dhcp_eval_history";
}

}  // namespace qvt::tool
