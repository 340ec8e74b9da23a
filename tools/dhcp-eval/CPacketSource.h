// CPacketSource: the DHCP messages of one family that dhcp-eval evaluates,
// read from a capture (pcap or pcapng) or from a hex payload file.
//
// All of them, one at a time, or the one frame asked for; frames are
// numbered from 1 over every frame of the capture, DHCP or not, as packet
// analysers number them. A hex payload file holds one message, frame 1:
//
//   CPacketSource source("day.pcapng", 4, std::nullopt);
//   CPacket packet;
//   while (source.next(packet)) evaluate(packet);
//   source.delivered();   // 0: see noPacketError()
//
// The frame asked for must exist, carry DHCP and be of the family; a
// capture of the other family is told apart from one without DHCP, so the
// error can suggest the family option.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "class_a/standard/CException.h"
#include "host/CCaptureReader.h"

namespace qvt::tool {

// CPacket: one DHCP message to evaluate.
struct CPacket {
  std::uint64_t frame = 0;
  std::vector<unsigned char> payload;
};

class CPacketSource {
 public:
  // CPacketSource: the messages of family (4 or 6) in path, or only frame.
  // Raises the reader's errors ("Cannot open capture file '%1'.", "Cannot
  // open file '%1'.", "Cannot read hex payload '%1'.") and (module
  // "dhcp-eval", operation "CPacketSource::CPacketSource"):
  //   "Frame %1 does not exist in '%2'." with the reason "The capture holds
  //     %3 frames." or "A hex payload file holds one message, frame 1.";
  //   "Frame %1 of '%2' is not a DHCP message." with the reason "It carries
  //     no UDP datagram to or from port 67, 68, 546 or 547.";
  //   "Frame %1 of '%2' is a DHCPv6 message." with the reason "Add -6 to
  //     evaluate DHCPv6 messages." (and the reverse: "... is a DHCPv4
  //     message." with "Leave out -6 to evaluate DHCPv4 messages.");
  //   for a hex payload: "'%1' holds a DHCPv4 message." with "Leave out -6
  //     to evaluate DHCPv4 messages." when -6 meets a payload with the
  //     magic cookie, and "'%1' holds no DHCPv4 message." with "It is %2
  //     bytes long, shorter than a BOOTP header (236 bytes); add -6 for a
  //     DHCPv6 message." under family 4.
  CPacketSource(const std::string& path, int family, std::optional<std::uint64_t> frame);
  ~CPacketSource();
  CPacketSource(const CPacketSource&) = delete;
  CPacketSource& operator=(const CPacketSource&) = delete;

  // next: the next message of the family; false at the end. Raises "Cannot
  // read capture file '%1'." for a capture damaged further on.
  bool next(CPacket& packet);

  // delivered: how many messages next gave so far.
  std::uint64_t delivered() const { return delivered_; }
  // noPacketError: the error to report when a whole capture gave no message
  // of the family: "'%1' holds no DHCPv4 message." with the reason "It holds
  // %2 DHCPv6 messages; add -6 to evaluate them." (or "...; leave out -6 to
  // evaluate them.") or "It holds no DHCP message." (module "dhcp-eval",
  // operation "CPacketSource::next").
  CException noPacketError() const;

  // familyName: "DHCPv4" or "DHCPv6".
  static std::string familyName(int family);

 private:
  void _findFrame(std::uint64_t frame);
  void _readHex(std::optional<std::uint64_t> frame);

  std::string path_;
  int family_;
  std::unique_ptr<host::CCaptureReader> capture_;
  // pending_: the one message still to deliver (hex file or --frame).
  std::optional<CPacket> pending_;
  bool single_ = false;
  std::uint64_t delivered_ = 0;
  std::uint64_t otherFamily_ = 0;
};

}  // namespace qvt::tool
