// Dhcp4PacketFuzz: arbitrary bytes as a received DHCPv4 message (see
// PacketFuzz.h).
#include <cstddef>
#include <cstdint>

#include "PacketFuzz.h"
#include "host/CDhcp4Decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qvt::fuzz::fuzzPacket(4, qvt::host::CDhcp4Decoder::shipped(), data, size);
  return 0;
}
