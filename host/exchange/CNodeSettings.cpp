#include "host/exchange/CNodeSettings.h"

#include <utility>

namespace qvt::host {

CNodeContext CNodeSettings::makeContext(const CIServerObject* server,
                                        CGeneralPtr<COption> request) const {
  CNodeContext node(server, std::move(request), interfaces, serverAddress, peerAddress);
  node.setDeviceId(deviceId);
  node.provisioned().setAccountName(accountName);
  return node;
}

}  // namespace qvt::host
