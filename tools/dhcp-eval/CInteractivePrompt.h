// CInteractivePrompt: the line editor of the interactive session.
//
// Reads lines from the terminal through the line-editing library (libedit),
// with Tab completion from a completer the session sets, and history kept
// across sessions in a file that only its owner may read:
//
//   CInteractivePrompt prompt("dhcp-eval> ", "      ...> ",
//                             CInteractivePrompt::defaultHistoryPath());
//   prompt.setCompleter([&](const std::string& line, std::size_t cursor) {
//     return completeAt(line, cursor, names);
//   });
//   std::string line;
//   while (prompt.readLine(line, false)) { ... prompt.entered(line); }
//
// The library keeps one global editing state, so only one prompt may exist
// at a time.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "tools/dhcp-eval/CILineSource.h"
#include "tools/dhcp-eval/PromptCompletion.h"

namespace qvt::tool {

class CInteractivePrompt : public CILineSource {
 public:
  // kHistoryEntries: how many entries the history keeps.
  static constexpr int kHistoryEntries = 1000;

  // CCompleter: the completion of the word that ends at cursor in line.
  using CCompleter = std::function<CCompletion(const std::string& line, std::size_t cursor)>;

  // CInteractivePrompt: shows prompt before each line and continuedPrompt
  // before a line that goes on an expression; loads the history of
  // historyPath (none when empty; a missing file is an empty history).
  CInteractivePrompt(std::string prompt, std::string continuedPrompt, std::string historyPath);
  CInteractivePrompt(const CInteractivePrompt&) = delete;
  CInteractivePrompt& operator=(const CInteractivePrompt&) = delete;
  ~CInteractivePrompt() override;

  // setCompleter: what Tab offers (nothing until one is set).
  void setCompleter(CCompleter completer) { completer_ = std::move(completer); }

  // readLine: the next line typed, without its line end; false at the end
  // of input.
  bool readLine(std::string& line, bool continued) override;
  // entered: adds entry to the history (unless blank or the same as the
  // last one) and rewrites the history file at once, so an interrupted
  // session keeps it.
  void entered(const std::string& entry) override;

  // defaultHistoryPath: ~/.dhcp_eval_history, home taken from $HOME or else
  // the user's password entry; empty when neither gives one.
  static std::string defaultHistoryPath();

 private:
  static char** _complete(const char* text, int start, int end);
  static char* _nextCandidate(const char* text, int state);

  std::string prompt_;
  std::string continuedPrompt_;
  std::string historyPath_;
  std::string lastEntry_;
  CCompleter completer_;
};

}  // namespace qvt::tool
