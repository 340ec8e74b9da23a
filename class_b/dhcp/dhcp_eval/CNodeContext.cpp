#include "class_b/dhcp/dhcp_eval/CNodeContext.h"

#include <utility>

#include "class_a/standard/CStringMap.h"

namespace {

constexpr const char* kServerAddressKey = "server_address";
constexpr const char* kDeviceIdKey = "device_id";
constexpr const char* kAccountNameKey = "account_name";

}  // namespace

CNodeContext::CNodeContext(const CIServerObject* server, qvt::CGeneralPtr<qvt::COption> incoming,
                           std::vector<std::string> interfaces,
                           const qvt::CIPAddress& serverAddress, const qvt::CIPAddress& peerAddress)
    : server_(server),
      incoming_(std::move(incoming)),
      interfaces_(std::move(interfaces)),
      serverAddress_(serverAddress),
      peerAddress_(peerAddress) {}

CNodeContext::~CNodeContext() = default;

void CNodeContext::string(const std::string& text) {
  const qvt::CStringMap map(text);
  // Parse everything first, so a bad value leaves the context unchanged.
  qvt::CIPAddress serverAddress = serverAddress_;
  qvt::CHexStore deviceId = deviceId_;
  if (const std::string* value = map.find(kServerAddressKey)) {
    serverAddress = value->empty() ? qvt::CIPAddress() : qvt::CIPAddress(*value);
  }
  if (const std::string* value = map.find(kDeviceIdKey)) deviceId = qvt::CHexStore(*value);
  serverAddress_ = serverAddress;
  deviceId_ = std::move(deviceId);
  if (const std::string* value = map.find(kAccountNameKey)) provisioned_.setAccountName(*value);
}

std::string CNodeContext::string() const {
  qvt::CStringMap map;
  // An address of no type has no text of its own: it is written empty.
  map.set(kServerAddressKey, serverAddress_.addressType() == qvt::CIPAddress::kNone
                                 ? std::string()
                                 : serverAddress_.string());
  map.set(kDeviceIdKey, deviceId_.string());
  map.set(kAccountNameKey, provisioned_.accountName());
  return map.text();
}
