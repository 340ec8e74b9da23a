// Dhcp6PacketFuzz: arbitrary bytes as a received DHCPv6 message, relayed
// or not (see PacketFuzz.h).
#include <cstddef>
#include <cstdint>

#include "PacketFuzz.h"
#include "host/CDhcp6Decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qvt::fuzz::fuzzPacket(6, qvt::host::CDhcp6Decoder::shipped(), data, size);
  return 0;
}
