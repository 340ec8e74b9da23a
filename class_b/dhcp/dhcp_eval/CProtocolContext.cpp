#include "class_b/dhcp/dhcp_eval/CProtocolContext.h"

#include <utility>

CProtocolContext::CProtocolContext(qvt::CIHostContext* hostContext, std::string name)
    : hostContext_(hostContext), name_(std::move(name)) {}

CProtocolContext::~CProtocolContext() = default;

qvt::CProtocolFamily CProtocolContext::protocolFamily() const {
  return qvt::CProtocolFamily();
}

qvt::CGeneralPtr<CIDHCPProvisioner> CProtocolContext::provisioner() {
  return qvt::CGeneralPtr<CIDHCPProvisioner>();
}

qvt::CIKeyValueStore* CProtocolContext::keyValueStore() {
  return nullptr;
}
