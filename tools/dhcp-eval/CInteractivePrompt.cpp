#include "tools/dhcp-eval/CInteractivePrompt.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

// <editline/readline.h> uses FILE without including <stdio.h> itself.
#include <editline/readline.h>

namespace qvt::tool {

namespace {

struct CFreeLine {
  void operator()(char* line) const { std::free(line); }
};

// The library's callbacks are plain functions: they reach the one prompt
// through these.
CInteractivePrompt* current = nullptr;
std::vector<std::string> pendingCandidates;
const char* libraryWordBreaks = nullptr;

// fileNames: the names of files that begin with prefix, as the library
// completes them.
std::vector<std::string> fileNames(const std::string& prefix) {
  std::vector<std::string> names;
  for (int state = 0;; ++state) {
    const std::unique_ptr<char, CFreeLine> name(
        rl_filename_completion_function(prefix.c_str(), state));
    if (!name) return names;
    names.emplace_back(name.get());
  }
}

}  // namespace

CInteractivePrompt::CInteractivePrompt(std::string prompt, std::string continuedPrompt,
                                       std::string historyPath)
    : prompt_(std::move(prompt)),
      continuedPrompt_(std::move(continuedPrompt)),
      historyPath_(std::move(historyPath)) {
  current = this;
  using_history();
  stifle_history(kHistoryEntries);
  if (!historyPath_.empty()) read_history(historyPath_.c_str());
  // The library finds the word to replace with fixed word breaks, those of
  // an expression; _complete fits the candidates to it.
  libraryWordBreaks = rl_basic_word_break_characters;
  rl_basic_word_break_characters = wordBreaksOf(std::string());
  rl_readline_name = "dhcp-eval";
  rl_attempted_completion_function = &CInteractivePrompt::_complete;
  rl_completion_append_character = '\0';
}

CInteractivePrompt::~CInteractivePrompt() {
  rl_attempted_completion_function = nullptr;
  rl_basic_word_break_characters = libraryWordBreaks;
  current = nullptr;
  clear_history();
}

bool CInteractivePrompt::readLine(std::string& line, bool continued) {
  const std::string& shown = continued ? continuedPrompt_ : prompt_;
  const std::unique_ptr<char, CFreeLine> typed(readline(shown.c_str()));
  if (!typed) return false;
  line = typed.get();
  return true;
}

void CInteractivePrompt::entered(const std::string& entry) {
  if (entry.find_first_not_of(" \t") == std::string::npos || entry == lastEntry_) return;
  lastEntry_ = entry;
  add_history(entry.c_str());
  if (historyPath_.empty()) return;
  // Expressions may hold secrets ($SENCRYPT arguments): owner only.
  const mode_t previous = umask(077);
  write_history(historyPath_.c_str());
  umask(previous);
  chmod(historyPath_.c_str(), S_IRUSR | S_IWUSR);
}

char** CInteractivePrompt::_complete(const char* text, int start, int end) {
  if (current == nullptr || !current->completer_ || rl_line_buffer == nullptr) {
    rl_attempted_completion_over = 1;
    return nullptr;
  }
  const std::string line = rl_line_buffer;
  CCompletion completion = current->completer_(line, static_cast<std::size_t>(end));
  rl_attempted_completion_over = 1;
  if (completion.files) {
    completion.candidates = fileNames(line.substr(completion.start, end - completion.start));
  }
  if (completion.candidates.empty()) return nullptr;
  // The library's word may begin before or after the completion's (in a
  // command, words end only at blanks): the candidates replace its word.
  const std::size_t wordStart = static_cast<std::size_t>(start);
  pendingCandidates.clear();
  for (const std::string& candidate : completion.candidates) {
    if (wordStart <= completion.start) {
      pendingCandidates.push_back(line.substr(wordStart, completion.start - wordStart) + candidate);
    } else if (wordStart - completion.start <= candidate.size()) {
      pendingCandidates.push_back(candidate.substr(wordStart - completion.start));
    }
  }
  return rl_completion_matches(text, &CInteractivePrompt::_nextCandidate);
}

char* CInteractivePrompt::_nextCandidate(const char* /*text*/, int state) {
  static std::size_t next = 0;
  if (state == 0) next = 0;
  if (next >= pendingCandidates.size()) return nullptr;
  return strdup(pendingCandidates[next++].c_str());
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
