#include "BenchPackets.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>

namespace keabench {
namespace {

// Offsets of the BOOTP header fields used here.
constexpr std::size_t kOp = 0;
constexpr std::size_t kHtype = 1;
constexpr std::size_t kHlen = 2;
constexpr std::size_t kHops = 3;
constexpr std::size_t kXid = 4;
constexpr std::size_t kGiaddr = 24;
constexpr std::size_t kChaddr = 28;
constexpr std::size_t kCookie = 236;
constexpr std::array<std::uint8_t, 4> kMagicCookie{99, 130, 83, 99};
constexpr std::size_t kOptions = kCookie + kMagicCookie.size();

struct CMessageFields {
  std::array<std::uint8_t, 6> chaddr;
  std::uint8_t messageType;
  std::string vendorClass;
  std::string circuitId;
  std::array<std::uint8_t, 6> remoteId;
  std::array<std::uint8_t, 4> giaddr;
};

void appendOption(CPacket& packet, std::uint8_t code, const CPacket& data) {
  packet.push_back(code);
  packet.push_back(static_cast<std::uint8_t>(data.size()));
  packet.insert(packet.end(), data.begin(), data.end());
}

CPacket build(const CMessageFields& fields) {
  std::array<std::uint8_t, kOptions> header{};
  header[kOp] = 1;  // BOOTREQUEST
  header[kHtype] = 1;
  header[kHlen] = static_cast<std::uint8_t>(fields.chaddr.size());
  header[kHops] = 1;
  const std::array<std::uint8_t, 4> xid{0x5e, 0xa1, 0x2b, 0x07};
  std::copy(xid.begin(), xid.end(), header.begin() + kXid);
  std::copy(fields.giaddr.begin(), fields.giaddr.end(), header.begin() + kGiaddr);
  std::copy(fields.chaddr.begin(), fields.chaddr.end(), header.begin() + kChaddr);
  std::copy(kMagicCookie.begin(), kMagicCookie.end(), header.begin() + kCookie);

  CPacket packet(header.begin(), header.end());

  appendOption(packet, 53, {fields.messageType});
  appendOption(packet, 60, CPacket(fields.vendorClass.begin(), fields.vendorClass.end()));
  CPacket relay;
  appendOption(relay, 1, CPacket(fields.circuitId.begin(), fields.circuitId.end()));
  appendOption(relay, 2, CPacket(fields.remoteId.begin(), fields.remoteId.end()));
  appendOption(packet, 82, relay);
  packet.push_back(255);
  return packet;
}

}  // namespace

CPacket matchingDiscover() {
  return build({{0x00, 0x11, 0x22, 0x33, 0x44, 0x55},
                1,
                "docsis3.0",
                "port1",
                {0x01, 0x02, 0x03, 0x04, 0x05, 0x06},
                {10, 0, 0, 1}});
}

CPacket nonMatchingRequest() {
  return build({{0x00, 0x11, 0x22, 0x33, 0x44, 0x66},
                3,
                "MSFT 5.0",
                "port2",
                {0x01, 0x02, 0x03, 0x04, 0x05, 0x07},
                {10, 0, 0, 2}});
}

}  // namespace keabench
