// PromptCompletion: what Tab offers at the interactive prompt.
//
// In an expression, the word before the cursor is completed to the
// function names of the session's evaluator (the built-in ones and the
// DHCP names of its family), written with "$" whether or not the word
// begins with one, letters compared without case. A line that begins with
// ":" is a command, its words separated by blanks: the first is completed
// to the prompt's commands, the FILE of ":packet" to file names. Nothing is
// offered inside a quote, also one opened on an earlier line of the same
// expression (open: what those lines left open):
//
//   completeAt("$LEFT($UC", 9, names);    // start 6, {"$UCASE"}
//   completeAt("uc", 2, names);           // start 0, {"$UCASE"}
//   completeAt(":tr", 3, names);          // start 0, {":trace"}
//   completeAt(":packet ex/a", 12, names); // start 8, files
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/dhcp-eval/PromptInput.h"

namespace qvt::tool {

// kPromptCommands: the commands of the prompt.
extern const std::vector<std::string> kPromptCommands;

// wordBreaksOf: the characters that end a word to complete in line: blanks
// in a command; in an expression also quotes and operators (a word may hold
// "$", "." and "_", as function names do).
const char* wordBreaksOf(const std::string& line) noexcept;

struct CCompletion {
  // start: where the word to replace begins.
  std::size_t start = 0;
  // candidates: the words that may replace it, in byte order.
  std::vector<std::string> candidates;
  // files: the word is a file name (complete it from the file system).
  bool files = false;
};

// completeAt: the completion of the word that ends at cursor in line, with
// functionNames the evaluator's names (without "$"); line continues an
// expression when open is not complete.
CCompletion completeAt(const std::string& line, std::size_t cursor,
                       const std::vector<std::string>& functionNames,
                       const CInputBalance& open = {});

}  // namespace qvt::tool
