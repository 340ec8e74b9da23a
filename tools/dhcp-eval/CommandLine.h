// CommandLine: the command line of dhcp-eval (except the "kv" subcommand,
// KvCommand.h), read with CLI11, and the help text.
//
//   CCommandLine line = parseCommandLine(argc, argv);   // raises CUsageError
//   if (line.help) std::cout << kUsage;
//
// Everything after the first "--" is an expression. Before it, an argument
// that begins with "-" and is no option is refused, so "-3" must be written
// after "--". Options that take a value accept it as the next argument or
// after "=" ("--key=server.key"); flags refuse a value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qvt::tool {

// kUsage: the text of --help.
extern const char kUsage[];

// CUsageError: a command line that cannot be run, with the message to show
// after "dhcp-eval: ".
struct CUsageError {
  std::string message;
};

// CSource: an expression given on the command line, or a file of them.
struct CSource {
  bool isFile;
  std::string text;
};

struct CCommandLine {
  // sources: expressions and -f files, in command-line order.
  std::vector<CSource> sources;
  bool json = false;
  bool trace = false;
  bool functions = false;
  bool help = false;
  bool version = false;
  // dump, dumpFile, dumpFamily: --dump FILE and --family 4|6 (0: not given).
  bool dump = false;
  std::string dumpFile;
  int dumpFamily = 0;
  std::string keyFile;
  // family: -4 (the default) or -6; familyGiven: whether one was given.
  int family = 4;
  bool familyGiven = false;
  // module: --module FILE (empty: searched for).
  std::string module;
  // packetFile, frame: --packet FILE and --frame N.
  std::string packetFile;
  std::optional<std::uint64_t> frame;
  // replyFile, replyFrame: --reply FILE and --reply-frame N; replyFile is
  // the packet file when only --reply-frame is given.
  std::string replyFile;
  std::optional<std::uint64_t> replyFrame;
  std::string kvDatabase;
  std::string vendorsFile;
  std::string rulesFile;
  std::string classesFile;
  // The node's values, as given (read by the command).
  std::optional<std::string> serverIp;
  std::optional<std::string> deviceId;
  std::string account;
  // dbTimeoutMs: --db-timeout MS, how long a database operation waits for a
  // lock.
  std::uint32_t dbTimeoutMs = 5000;
  // bench, rounds: --bench and --rounds N (rounds of each timing).
  bool bench = false;
  unsigned rounds = 7;
};

// parseCommandLine: the command line of argv (argv[0] the program). Raises
// CUsageError for an unknown option, a missing or refused value, and
// options that cannot be combined.
CCommandLine parseCommandLine(int argc, const char* const* argv);

// parseCount: text as a whole number from minimum up, for option name (in
// the message of CUsageError: "option '--frame' takes a number from 1, not
// 'x'").
std::uint64_t parseCount(const std::string& name, const std::string& text, std::uint64_t minimum);

}  // namespace qvt::tool
