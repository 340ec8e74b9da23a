// PacketCommand: `dhcp-eval --packet FILE`, the exchange tester: every DHCP
// message of the family in a capture (or the one frame asked for, or the
// message of a hex payload file) is evaluated in an exchange of its own,
// with an evaluator of its own from the evaluator factory, as a server
// makes one per exchange.
//
// With expressions, each is evaluated for every message (CEvalCommand's
// output, naming the frame); with --classes, each message gives one line of
// CClassifier. A message that cannot be decoded is reported as that frame's
// failure, and the others still run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/dhcp-eval/CToolServer.h"

namespace qvt::tool {

struct CPacketOptions {
  std::string packetFile;
  std::optional<std::uint64_t> frame;
  // replyFile: empty for an empty reply.
  std::string replyFile;
  std::optional<std::uint64_t> replyFrame;
  bool json = false;
  bool trace = false;
  // expressions, classesFile: what to evaluate (one of them).
  std::vector<std::string> expressions;
  std::string classesFile;
};

// readReply: the reply message of the options (an empty message of the
// family without --reply). Raises the errors of reading and decoding it, and
// "'%1' holds more than one %2 message." (module "dhcp-eval", operation
// "readReply") with the reason "Choose one with --reply-frame." for a
// capture of several without --reply-frame.
CGeneralPtr<COption> readReply(const CToolServer& server, const std::string& file,
                               std::optional<std::uint64_t> frame);

// runPackets: evaluates the options' expressions or classes for every
// selected message. Returns the exit status: 0 when everything evaluated,
// 1 when an expression or class failed or a message could not be decoded,
// 2 when a file cannot be read, the frame asked for cannot be used or no
// message of the family was found (one line "dhcp-eval: ..." on standard
// error). Never raises.
int runPackets(CToolServer& server, const CPacketOptions& options);

}  // namespace qvt::tool
