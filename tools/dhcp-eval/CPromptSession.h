// CPromptSession: the interactive session of dhcp-eval, on a terminal or
// reading standard input.
//
// Each entry is an expression or a command. An expression whose quotes or
// parentheses are still open at the end of a line goes on over the next
// lines (PromptInput.h), blank and "#" lines between them left out unless a
// quote is open; at the end of input what was read so far is evaluated. An
// expression longer than kMaxLineLength in all is refused. A line that begins with ":"
// is a command:
//   :packet FILE [FRAME]  evaluates the following expressions against the
//                         DHCP messages of the family in FILE (or frame
//                         FRAME alone), each in an exchange of its own, as
//                         --packet does; the reply stays the one of the
//                         command line. Without arguments: what is loaded.
//   :trace on|off         prints the postfix and the tree, as --trace does;
//                         without an argument: whether it is on.
//   :help                 the commands.
// "quit" ends the session. Tab completes the names of the current
// evaluator (PromptCompletion.h).
//
// A command that cannot be carried out prints one line "error: <text>" on
// the error stream and counts as a failure; the session goes on. Under
// --json, what a command reports goes to the error stream too, so the
// output stream holds only JSON objects:
//
//   CPromptSession session(server, reply, command, std::cout, std::cerr);
//   CStreamLines input("-");
//   session.run(input);
//   session.failures();   // commands refused
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/dhcp-eval/CEvalCommand.h"
#include "tools/dhcp-eval/CILineSource.h"
#include "tools/dhcp-eval/CToolServer.h"
#include "tools/dhcp-eval/PromptCompletion.h"
#include "tools/dhcp-eval/PromptInput.h"

namespace qvt::tool {

class CPromptSession {
 public:
  // CPromptSession: evaluates with command against exchanges of server
  // with reply as their reply; starts with an empty received message.
  // Raises the errors of making the first exchange.
  CPromptSession(CToolServer& server, CGeneralPtr<COption> reply, CEvalCommand& command,
                 std::ostream& out, std::ostream& err);
  CPromptSession(const CPromptSession&) = delete;
  CPromptSession& operator=(const CPromptSession&) = delete;
  ~CPromptSession();

  // run: reads and carries out entries from lines until its end or "quit".
  // Raises only the errors of reading lines.
  void run(CILineSource& lines);

  // load: what ":packet FILE [FRAME]" does; false (with the error printed
  // and counted) when nothing could be loaded.
  bool load(const std::string& file, std::optional<std::uint64_t> frame);

  // complete: what Tab offers at cursor in line.
  CCompletion complete(const std::string& line, std::size_t cursor) const;

  // failures: how many commands were refused.
  std::size_t failures() const noexcept { return failures_; }

 private:
  struct CLoaded;

  void _command(const std::string& line);
  void _packet(const std::vector<std::string>& arguments);
  void _trace(const std::vector<std::string>& arguments);
  void _help();
  void _evaluate(const std::string& expression);
  void _refuse(const std::string& text);
  // _report: what a command prints when it succeeds.
  std::ostream& _report();

  CToolServer& server_;
  CGeneralPtr<COption> reply_;
  CEvalCommand& command_;
  std::ostream& out_;
  std::ostream& err_;
  // loaded_: one exchange without a frame (the empty message), or the
  // messages of :packet.
  std::vector<std::unique_ptr<CLoaded>> loaded_;
  std::string packetFile_;
  std::vector<std::string> names_;
  // open_: what the lines read so far of an expression left open; Tab on
  // its next line completes as inside it.
  CInputBalance open_;
  std::size_t failures_ = 0;
};

}  // namespace qvt::tool
