// CCapturedPacket: one DHCP message found in a captured frame.
#pragma once

#include <cstdint>
#include <vector>

namespace qvt::host {

struct CCapturedPacket {
  std::uint64_t frame = 0;  // frame number, counted from 1
  int family = 0;           // 4 (UDP ports 67/68) or 6 (UDP ports 546/547)
  std::uint16_t sourcePort = 0;
  std::uint16_t destinationPort = 0;
  std::vector<unsigned char> payload;  // the UDP payload: the DHCP message
};

}  // namespace qvt::host
