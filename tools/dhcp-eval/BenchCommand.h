// BenchCommand: `dhcp-eval --bench --packet FILE`, what a class set costs:
// the expressions (or the classes of a --classes file) are compiled and
// executed against every DHCP message of the family in a capture (or the one
// frame asked for), in exchanges of the server's own kind, and timed:
//
//   dhcp-eval --bench --packet day.pcapng --classes classes.txt
//
// For each expression: compile (parse and build the tree, as the first
// compile of a text in an evaluator does; later ones come from its cache)
// and execute (the mean over the messages). Then per message: decoding,
// making an evaluator, and the whole exchange both ways a server may run
// it: an evaluator of its own per message (decode, evaluator, compile,
// execute) and one long-lived evaluator per worker (decode, execute).
// Every figure is the thread's CPU time per call, the median of --rounds
// rounds of about 20 ms (CBenchTimer).
//
// Expressions that do not compile are reported and left out; expressions
// that raise on some messages are timed as they are (raising included) and
// marked.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/dhcp-eval/CToolServer.h"

namespace qvt::tool {

struct CBenchOptions {
  std::string packetFile;
  std::optional<std::uint64_t> frame;
  // replyFile: empty for an empty reply.
  std::string replyFile;
  std::optional<std::uint64_t> replyFrame;
  bool json = false;
  unsigned rounds = 7;
  // expressions, classesFile: what to time (one of them).
  std::vector<std::string> expressions;
  std::string classesFile;
};

// runBench: times the options' expressions or classes. Returns the exit
// status: 0 when every expression compiled and ran without raising on every
// message, 1 when one did not or a message could not be decoded, 2 when a
// file cannot be read, the frame asked for cannot be used or no message of
// the family was found. Text output: a table of the figures; with json one
// object per expression ({"expression": E, "compile_ns": N, "execute_ns":
// N, "raised": K}, "class": C first for a class; {"expression": E, "error":
// {...}} when it does not compile) and one for the messages ({"messages":
// M, "decode_ns": N, "evaluator_ns": N, "exchange_ns": N,
// "worker_exchange_ns": N}). Never raises.
int runBench(CToolServer& server, const CBenchOptions& options);

}  // namespace qvt::tool
