// KeaTestSupport: what the Kea hook's tests share: the built modules, the
// hook's settings around them, and DHCPv4 packets made by Kea itself, on
// the wire and as Kea hands a received one to a callout.
//
//   CHookSettings settings = moduleSettings();
//   settings.classes = {{"cm", "$CM"}};
//   Pkt4Ptr query = received4(discover4("docsis3.0", 1));
#pragma once

#include <dhcp/dhcp4.h>
#include <dhcp/option_string.h>
#include <dhcp/pkt4.h>

#include <boost/make_shared.hpp>
#include <cstdint>
#include <string>
#include <vector>

#include "integrations/kea/CHookSettings.h"

namespace qvt::kea::test {

using Bytes = std::vector<std::uint8_t>;

inline CHookSettings moduleSettings() {
  CHookSettings settings;
  settings.module = DHCP_EVAL_BINARY_DIR "/class_b/dhcp/dhcp_eval/dhcp_eval.so";
  settings.systemBusModule = DHCP_EVAL_BINARY_DIR "/host/system_bus/system_bus.so";
  return settings;
}

// wire: the packed bytes of packet.
inline Bytes wire(isc::dhcp::Pkt4& packet) {
  packet.pack();
  const auto* data = static_cast<const std::uint8_t*>(packet.getBuffer().getData());
  return Bytes(data, data + packet.getBuffer().getLength());
}

// discover4: a DISCOVER from hardware address 02-00-00-00-00-<last>, with
// option 60 when vendorClass is not empty.
inline Bytes discover4(const std::string& vendorClass, std::uint8_t last) {
  isc::dhcp::Pkt4 packet(isc::dhcp::DHCPDISCOVER, 0x1234);
  packet.setHWAddr(isc::dhcp::HTYPE_ETHER, 6, {0x02, 0, 0, 0, 0, last});
  if (!vendorClass.empty()) {
    packet.addOption(isc::dhcp::OptionPtr(new isc::dhcp::OptionString(
        isc::dhcp::Option::V4, isc::dhcp::DHO_VENDOR_CLASS_IDENTIFIER, vendorClass)));
  }
  return wire(packet);
}

// received4: bytes as Kea hands a received query to pkt4_receive.
inline isc::dhcp::Pkt4Ptr received4(const Bytes& bytes) {
  auto packet = boost::make_shared<isc::dhcp::Pkt4>(bytes.data(), bytes.size());
  packet->unpack();
  packet->setIface("veth-test");
  packet->setLocalAddr(isc::asiolink::IOAddress("192.0.2.1"));
  packet->setRemoteAddr(isc::asiolink::IOAddress("192.0.2.2"));
  return packet;
}

}  // namespace qvt::kea::test
