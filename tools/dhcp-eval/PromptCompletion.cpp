#include "tools/dhcp-eval/PromptCompletion.h"

#include <algorithm>
#include <cctype>

#include "tools/dhcp-eval/PromptInput.h"

namespace qvt::tool {

const std::vector<std::string> kPromptCommands = {":help", ":packet", ":trace"};

namespace {

bool isCommand(const std::string& line) noexcept {
  const std::size_t first = line.find_first_not_of(" \t");
  return first != std::string::npos && line[first] == ':';
}

bool startsWithIgnoringCase(const std::string& text, const std::string& prefix) {
  if (prefix.size() > text.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) ==
           std::toupper(static_cast<unsigned char>(b));
  });
}

// matching: the names that begin with prefix, each after lead.
std::vector<std::string> matching(const std::vector<std::string>& names, const std::string& prefix,
                                  const std::string& lead) {
  std::vector<std::string> found;
  for (const std::string& name : names) {
    if (startsWithIgnoringCase(name, prefix)) found.push_back(lead + name);
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace

const char* wordBreaksOf(const std::string& line) noexcept {
  return isCommand(line) ? " \t" : " \t\n\"'()+-*/%<>=!&|^?,~:";
}

CCompletion completeAt(const std::string& line, std::size_t cursor,
                       const std::vector<std::string>& functionNames, const CInputBalance& open) {
  CCompletion completion;
  const bool command = open.complete() && isCommand(line);
  const std::string before = line.substr(0, std::min(cursor, line.size()));
  const std::size_t lastBreak =
      before.find_last_of(command ? wordBreaksOf(line) : wordBreaksOf(std::string()));
  completion.start = lastBreak == std::string::npos ? 0 : lastBreak + 1;
  const std::string word = before.substr(completion.start);

  if (command) {
    const std::size_t first = before.find_first_not_of(" \t");
    if (completion.start == first) {
      completion.candidates = matching(kPromptCommands, word, std::string());
      return completion;
    }
    // The word after ":packet" is its file; the frame after it is a number.
    const std::size_t end = before.find_first_of(" \t", first);
    const std::size_t argument = before.find_first_not_of(" \t", end);
    completion.files = before.compare(first, end - first, ":packet") == 0 &&
                       (argument == std::string::npos || argument == completion.start);
    return completion;
  }
  CInputBalance balance = open;
  balance.scan(before);
  if (balance.inQuote) return completion;
  // A "$" begins a name only as the word's first character ("a$B" is no name).
  const std::string prefix = !word.empty() && word.front() == '$' ? word.substr(1) : word;
  if (prefix.find('$') != std::string::npos) return completion;
  completion.candidates = matching(functionNames, prefix, "$");
  return completion;
}

}  // namespace qvt::tool
