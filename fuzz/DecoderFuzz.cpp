// DecoderFuzz: arbitrary bytes as a DHCPv4 message, a DHCPv6 message, a
// captured frame of several link types and a hex payload text. Every
// resulting option tree is walked and each element read as a variant and as
// text. Only the project's own CException is expected; anything else, and any
// sanitizer report, is a finding.
#include <pcap/pcap.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "class_a/standard/CException.h"
#include "class_a/standard/CVariant.h"
#include "class_b/dhcp/dhcp_base/COption.h"
#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"
#include "host/CCaptureReader.h"
#include "host/CDhcp4Decoder.h"
#include "host/CDhcp6Decoder.h"
#include "host/CHexPayload.h"

namespace {

void walk(const qvt::COption& option) {
  for (std::size_t i = 0; i < option.childCount(); ++i) {
    const qvt::COption::Ptr child = option.child(i);
    if (!child) continue;
    const qvt::CValueTypeConverter converter(child);
    for (std::size_t e = 0; e < child->count(); ++e) {
      const qvt::CVariant value = converter.variant(static_cast<std::uint32_t>(e));
      (void)value.string();
    }
    (void)child->fullTagPath().string();
    walk(*child.get());
  }
}

template <class Decoder>
void decode(const Decoder& decoder, const unsigned char* data, std::size_t size) {
  try {
    walk(*decoder.decode(data, size).get());
  } catch (const qvt::CException&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& v4 = qvt::host::CDhcp4Decoder::shipped();
  const auto& v6 = qvt::host::CDhcp6Decoder::shipped();
  decode(v4, data, size);
  decode(v6, data, size);
  for (int linkType : {DLT_EN10MB, DLT_LINUX_SLL, DLT_LINUX_SLL2, DLT_RAW, DLT_NULL}) {
    qvt::host::CCapturedPacket packet;
    if (!qvt::host::CCaptureReader::extract(linkType, data, size, packet)) continue;
    if (packet.family == 4) {
      decode(v4, packet.payload.data(), packet.payload.size());
    } else {
      decode(v6, packet.payload.data(), packet.payload.size());
    }
  }
  try {
    const std::vector<unsigned char> bytes = qvt::host::CHexPayload::parse(
        std::string(reinterpret_cast<const char*>(data), size), "fuzz");
    (void)qvt::host::CHexPayload::guessFamily(bytes);
  } catch (const qvt::CException&) {
  }
  return 0;
}
