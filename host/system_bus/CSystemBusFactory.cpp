#include "host/system_bus/CSystemBusFactory.h"

namespace qvt::host {

CSystemBusFactory::~CSystemBusFactory() = default;

bool CSystemBusFactory::prepare(const CPluginList&) {
  return true;
}

std::int32_t CSystemBusFactory::initialize() {
  return 0;
}

void CSystemBusFactory::finalize() {}

void CSystemBusFactory::configure() {}

void CSystemBusFactory::reconfigure() {}

std::string CSystemBusFactory::name() const {
  return "System Bus";
}

std::int32_t CSystemBusFactory::version() const {
  return kPluginInterfaceVersion;
}

std::string CSystemBusFactory::types() const {
  return "CISystemBusFactory,CPlugin";
}

}  // namespace qvt::host
