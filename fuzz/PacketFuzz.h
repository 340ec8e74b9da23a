// PacketFuzz: the body of the DHCPv4 and DHCPv6 payload targets. The bytes
// are decoded as a received message; when that succeeds, every option of
// the tree is read element by element, and an evaluator of an exchange with
// that message as request and as reply runs DHCP names of its family and
// compares $INP and $OUTP on the first options found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"

namespace qvt::fuzz {

// kMaxOptionReads: how many elements of one message $INP and $OUTP read;
// kNameShare: each message runs one in kNameShare of the DHCP names (which
// ones depends on its size), so that a run tries many messages.
constexpr std::size_t kMaxOptionReads = 8;
constexpr std::size_t kNameShare = 4;

template <class Decoder>
void fuzzPacket(int family, const Decoder& decoder, const std::uint8_t* data, std::size_t size) {
  static CFuzzServer server;
  CGeneralPtr<COption> message;
  try {
    message = decoder.decode(data, size);
  } catch (const CException&) {
    return;
  }
  std::vector<std::string> reads;
  walk(*message.get(), [&reads](const COption& option) {
    if (reads.size() >= kMaxOptionReads) return;
    const std::string path = option.fullTagPath().string();
    const std::size_t count = option.count() == 0 ? 1 : option.count();
    for (std::size_t i = 0; i < count && reads.size() < kMaxOptionReads; ++i) {
      const std::string arguments = "('" + path + "', " + std::to_string(i) + ")";
      reads.push_back("$INP" + arguments + " == $OUTP" + arguments);
    }
  });
  const auto exchange = server.exchange(family, message, message);
  const CGeneralPtr<CExpEval> evaluator = CFuzzServer::evaluator(*exchange);
  static const std::vector<std::string> names = dhcpNames(*evaluator);
  for (std::size_t i = size % kNameShare; i < names.size(); i += kNameShare)
    runOnce(*evaluator, names[i]);
  for (const std::string& read : reads)
    runOnce(*evaluator, read);
}

}  // namespace qvt::fuzz
