#include "HostStandIns.h"

#include "class_a/standard/CProtocolFamily.h"

namespace keabench {

void CQuietLogger::log(const std::string&, const std::string&, std::uint32_t) {}

std::vector<std::uint8_t> CBenchHostContext::sharedServerKey() {
  return {'k', 'e', 'a', 'b', 'e', 'n', 'c', 'h'};
}

CBenchProtocolContext::CBenchProtocolContext(qvt::CIHostContext* hostContext)
    : CProtocolContext(hostContext, "keabench DHCPv4") {}

qvt::CProtocolFamily CBenchProtocolContext::protocolFamily() const {
  return qvt::CProtocolFamily(qvt::CProtocolFamily::kIPv4);
}

qvt::CGeneralPtr<qvt::COption> CNoReply::outgoingMessage() const {
  return qvt::CGeneralPtr<qvt::COption>();
}

}  // namespace keabench
