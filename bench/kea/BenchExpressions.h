// BenchExpressions: the five conditions of the benchmark, each written in our
// expression language and in Kea's.
#pragma once

#include <array>
#include <cstddef>

namespace keabench {

struct CExpressionPair {
  const char* name;
  const char* ours;
  const char* kea;
};

inline constexpr std::size_t kExpressionCount = 5;

inline constexpr std::array<CExpressionPair, kExpressionCount> kExpressions{{
    {"E1", "$LEFT($CLASSID, 6) == 'docsis'", "substring(option[60].hex,0,6) == 'docsis'"},
    {"E2", "$HWADDR == '00-11-22-33-44-55'", "pkt4.mac == 0x001122334455"},
    {"E3", "$RELAY.CIRCUITID == 'port1'", "relay4[1].hex == 'port1'"},
    {"E4", "$CM || $MTA",
     "option[60].exists and (substring(option[60].hex,0,6) == 'docsis' or "
     "substring(option[60].hex,0,4) == 'pktc')"},
    {"E5", "$IS_DISCOVER && $RELAY.REMOTEID == '01-02-03-04-05-06' && $RELAY.ADDRESS == 10.0.0.1",
     "pkt4.msgtype == 1 and relay4[2].hex == 0x010203040506 and pkt4.giaddr == 10.0.0.1"},
}};

// CConditions: the result of each of the five, in order.
using CConditions = std::array<bool, kExpressionCount>;

}  // namespace keabench
