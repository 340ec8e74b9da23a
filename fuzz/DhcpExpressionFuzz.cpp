// DhcpExpressionFuzz: arbitrary text compiled and executed by a DHCPv4 and a
// DHCPv6 evaluator of the reference host, each bound to a fixed relayed
// DOCSIS request with a reply, the shipped vendor classes, an SQLite
// key-value database and provisioning rules (so $INP, $RELAY.*, $DEVICE.*,
// $DB.KEYVALUE and $PROV.RULE all have something to read). Each input gets
// new evaluators, as each exchange of a server does.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "host/CDhcp4Decoder.h"
#include "host/CDhcp6Decoder.h"
#include "host/CHexPayload.h"

namespace {

using qvt::fuzz::CFuzzServer;

std::vector<unsigned char> example(const char* name) {
  return qvt::host::CHexPayload::readFile(std::string(DHCP_EVAL_SOURCE_DIR) + "/examples/" + name);
}

struct CPackets {
  qvt::CGeneralPtr<qvt::COption> request4 =
      qvt::host::CDhcp4Decoder::shipped().decode(example("payload-discover.hex"));
  qvt::CGeneralPtr<qvt::COption> reply4 =
      qvt::host::CDhcp4Decoder::shipped().decode(example("payload-discover.hex"));
  qvt::CGeneralPtr<qvt::COption> request6 =
      qvt::host::CDhcp6Decoder::shipped().decode(example("dhcp6-docsis-relayed.hex"));
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CFuzzServer server;
  static const CPackets packets;
  const std::string text(reinterpret_cast<const char*>(data), size);
  {
    const auto exchange = server.exchange(4, packets.request4, packets.reply4);
    qvt::fuzz::run(*CFuzzServer::evaluator(*exchange), text);
  }
  {
    const auto exchange = server.exchange(6, packets.request6);
    qvt::fuzz::run(*CFuzzServer::evaluator(*exchange), text);
  }
  return 0;
}
