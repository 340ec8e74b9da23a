// CInteractivePrompt: the line editor of the interactive session.
//
// Reads lines from the terminal through the line-editing library (libedit),
// with history kept across sessions in a file that only its owner may read:
//
//   CInteractivePrompt prompt("dhcp-eval> ", CInteractivePrompt::defaultHistoryPath());
//   std::string line;
//   while (prompt.readLine(line)) { ... }
//
// The library keeps one global editing state, so only one prompt may exist
// at a time.
#pragma once

#include <string>

namespace qvt::tool {

class CInteractivePrompt {
 public:
  // kHistoryEntries: how many lines the history keeps.
  static constexpr int kHistoryEntries = 1000;

  // CInteractivePrompt: shows prompt before each line; loads the history of
  // historyPath (none when empty; a missing file is an empty history).
  CInteractivePrompt(std::string prompt, std::string historyPath);
  CInteractivePrompt(const CInteractivePrompt&) = delete;
  CInteractivePrompt& operator=(const CInteractivePrompt&) = delete;
  ~CInteractivePrompt();

  // readLine: the next line typed, without its line end; false at the end of
  // input. A line with text is added to the history (not twice in a row),
  // and the history file is rewritten at once, so an interrupted session
  // keeps it.
  bool readLine(std::string& line);

  // defaultHistoryPath: ~/.dhcp_eval_history, home taken from $HOME or else
  // the user's password entry; empty when neither gives one.
  static std::string defaultHistoryPath();

 private:
  void _remember(const std::string& line);

  std::string prompt_;
  std::string historyPath_;
  std::string lastLine_;
};

}  // namespace qvt::tool
