// BenchPackets: the DHCPv4 messages both engines read, as wire bytes.
//
// matchingDiscover: a relayed DISCOVER that makes all five benchmark
// conditions true: chaddr 00:11:22:33:44:55, option 53 = 1, option 60
// "docsis3.0", option 82 with circuit id "port1" and remote id
// 01:02:03:04:05:06, giaddr 10.0.0.1.
//
// nonMatchingRequest: a relayed REQUEST that makes each of the five false:
// chaddr 00:11:22:33:44:66, option 53 = 3, option 60 "MSFT 5.0", circuit id
// "port2", remote id 01:02:03:04:05:07, giaddr 10.0.0.2.
#pragma once

#include <cstdint>
#include <vector>

namespace keabench {

using CPacket = std::vector<std::uint8_t>;

CPacket matchingDiscover();
CPacket nonMatchingRequest();

}  // namespace keabench
