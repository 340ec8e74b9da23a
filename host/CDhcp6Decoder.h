// CDhcp6Decoder: a DHCPv6 message, as received, becomes the option tree the
// evaluators read; a relayed message reads like the client's own.
//
// Tree of a client or server message (codes of the dictionary):
//
//   -253 msg-type, -255 transaction-id, then the options in wire order,
//   each decoded by its definition (IA_NA 3 with 3/1 IAID ... 3/5 IA
//   addresses, 16 with 16/1 enterprise number and 16/2 class data, ...).
//
// Tree of a relayed message (RELAY-FORW or RELAY-REPL, nested any number of
// times up to kMaxRelayDepth): the top level is the client's message as
// above, so $XID, option 1 and 16/1, 16/2 read as if it were not relayed,
// plus -254, the hop count of the outermost relay (the one that talks to
// the server). Each relay is a -250 entry holding its own fields (-253
// msg-type, -254 hop-count, -252 link-address, -251 peer-address) and its
// options other than the relay message (18 interface-id, 37 remote-id,
// ...); the next relay inward is a -250 entry inside it:
//
//   -254                  hop count of the outermost relay
//   -253, -255, 1, 16 ... the client's message
//   -250                  outermost relay: -250/-252 its link address,
//                         -250/18 its interface-id, -250/37/2 remote-id
//     -250                next relay inward: -250/-250/18 ...
//
// The options of a relay entry are decoded by the top-level definitions of
// their codes (and the relay's own fields by the -250/... definitions).
//
// Malformed messages raise "Cannot decode DHCPv6 message." with a reason
// naming the offset.
#pragma once

#include <cstddef>
#include <vector>

#include "class_a/standard/CGeneralPtr.h"
#include "class_b/dhcp/dhcp_base/COption.h"

namespace qvt {
class COptionDictionary;
}

namespace qvt::host {

class CDhcp6Decoder {
 public:
  // kMaxRelayDepth: how many relay messages may enclose one another.
  static constexpr int kMaxRelayDepth = 32;

  // CDhcp6Decoder: decodes with dictionary (not copied; it must outlive the
  // decoder).
  explicit CDhcp6Decoder(const COptionDictionary& dictionary) : dictionary_(dictionary) {}

  // decode: the option tree of the message in size bytes at data. Raises
  // "Cannot decode DHCPv6 message." (operation "CDhcp6Decoder::decode") for
  // a malformed message: a truncated header, an option or sub-option running
  // past its area, data that does not fit the option's definition, a relay
  // message without exactly one relay message option (9), relays nested
  // deeper than kMaxRelayDepth.
  CGeneralPtr<COption> decode(const unsigned char* data, std::size_t size) const;
  CGeneralPtr<COption> decode(const std::vector<unsigned char>& payload) const {
    return decode(payload.data(), payload.size());
  }

  // shipped: a decoder with the dictionary dhcp6.defs of
  // COptionDictionary::defaultDirectory(), loaded on first use. Raises the
  // dictionary's load errors (and tries again on the next call).
  static const CDhcp6Decoder& shipped();

 private:
  const COptionDictionary& dictionary_;
};

}  // namespace qvt::host
