// CNodeSettings: what the reference host knows of the node an exchange runs
// on, beyond the received message: the server's address ($SERVER.IP), the
// device identifier it assigned ($DEVICE.ID), the account the device is
// provisioned under ($PROV.ACCNAME), the address the message came from and
// the interfaces it arrived on.
//
//   CNodeSettings settings;
//   settings.serverAddress = CIPAddress("10.0.0.1");
//   settings.accountName = "acme";
//   CNodeContext node = settings.makeContext(&server, decodedRequest);
#pragma once

#include <string>
#include <vector>

#include "class_a/standard/CGeneralPtr.h"
#include "class_a/standard/CHexStore.h"
#include "class_a/standard/CIPAddress.h"
#include "class_b/dhcp/dhcp_base/COption.h"
#include "class_b/dhcp/dhcp_eval/CNodeContext.h"

namespace qvt::host {

struct CNodeSettings {
  CIPAddress serverAddress;
  CIPAddress peerAddress;
  CHexStore deviceId{0};
  std::string accountName;
  std::vector<std::string> interfaces;

  // makeContext: the node context of server (not owned; may be null) for
  // the received message request, with these values.
  CNodeContext makeContext(const CIServerObject* server, CGeneralPtr<COption> request) const;
};

}  // namespace qvt::host
