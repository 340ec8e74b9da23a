// CPacketDecoder: the option trees of received DHCP messages, decoded by the
// bundled dictionaries (dhcp4.defs, dhcp6.defs) and, for DHCPv4, the vendor
// lookup of the server (whose vendor of option 60 selects vendor-specific
// definitions such as CableLabs' option 43).
//
//   CPacketDecoder decoder(server.vendorHolder());
//   CGeneralPtr<COption> root = decoder.decode(4, payload);
#pragma once

#include <vector>

#include "class_a/standard/CGeneralPtr.h"
#include "class_b/dhcp/dhcp_base/COption.h"
#include "class_b/dhcp/dhcp_base/CVendorLookup.h"
#include "host/CDhcp4Decoder.h"
#include "host/CDhcp6Decoder.h"
#include "host/COptionDictionary.h"

namespace qvt::tool {

class CPacketDecoder {
 public:
  // CPacketDecoder: loads the dictionaries of
  // COptionDictionary::defaultDirectory(). Raises their load errors.
  explicit CPacketDecoder(CGeneralPtr<CVendorLookup> vendors);
  CPacketDecoder(const CPacketDecoder&) = delete;
  CPacketDecoder& operator=(const CPacketDecoder&) = delete;

  // decode: the tree of payload as a message of family (4 or 6). Raises the
  // decoders' "Cannot decode DHCPv4 message." and "Cannot decode DHCPv6
  // message.".
  CGeneralPtr<COption> decode(int family, const std::vector<unsigned char>& payload) const;

 private:
  COptionDictionary dhcp4_;
  COptionDictionary dhcp6_;
  host::CDhcp4Decoder decoder4_;
  host::CDhcp6Decoder decoder6_;
};

}  // namespace qvt::tool
