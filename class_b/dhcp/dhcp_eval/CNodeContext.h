// CNodeContext: the server node and the received message of one exchange.
//
// The host builds one per exchange, or keeps one per worker thread and
// points it at each new message, and leaves it unchanged while the
// exchange's expressions run; the evaluators only read it:
//
//   CNodeContext node(&server, decodedRequest, {}, CIPAddress("10.0.0.1"), CIPAddress());
//   node.setDeviceId(CHexStore("01-02-03"));
//   node.provisioned().setAccountName("acme");
//
//   node.setIncoming(nextRequest);   // a long-lived evaluator bound to &node
//   node.setPeerAddress(relay);      // now reads the next exchange
//
// Its text form lists the values the evaluators read, one key=value line
// each ("server_address", "device_id", "account_name").
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "class_a/standard/CGeneralPtr.h"
#include "class_a/standard/CHexStore.h"
#include "class_a/standard/CIPAddress.h"
#include "class_a/standard/CObject.h"
#include "class_b/dhcp/dhcp_base/COption.h"
#include "class_b/dhcp/dhcp_eval/CIServerObject.h"
#include "class_b/dhcp/dhcp_eval/CProvisioned.h"

class CNodeContext : public qvt::CObject {
 public:
  // CNodeContext: server (not owned; may be null: no vendors), the received
  // message's root, the names of the interfaces the message arrived on, the
  // server's address and the address the message came from.
  CNodeContext(const CIServerObject* server, qvt::CGeneralPtr<qvt::COption> incoming,
               std::vector<std::string> interfaces, const qvt::CIPAddress& serverAddress,
               const qvt::CIPAddress& peerAddress);
  CNodeContext(const CNodeContext&) = default;
  CNodeContext& operator=(const CNodeContext&) = default;
  ~CNodeContext() override;

  const CIServerObject* server() const { return server_; }
  // incoming: a copy of the holder of the received message's root.
  qvt::CGeneralPtr<qvt::COption> incoming() const { return incoming_; }
  // incomingRoot: the received message's root without copying its holder;
  // null when there is none. It lives as long as the context holds it.
  qvt::COption* incomingRoot() const noexcept { return incoming_.get(); }
  // setIncoming: the received message is now message (the previous one is
  // let go); nothing else changes and nothing is allocated, so a host may
  // keep one context, and one evaluator bound to it, per worker.
  void setIncoming(qvt::CGeneralPtr<qvt::COption> message) noexcept {
    incoming_ = std::move(message);
  }
  const std::vector<std::string>& interfaces() const { return interfaces_; }
  const qvt::CIPAddress& serverAddress() const { return serverAddress_; }
  const qvt::CIPAddress& peerAddress() const { return peerAddress_; }
  void setPeerAddress(const qvt::CIPAddress& address) noexcept { peerAddress_ = address; }
  const CProvisioned& provisioned() const { return provisioned_; }
  CProvisioned& provisioned() { return provisioned_; }
  // deviceId: the device identifier the host assigned (empty until set).
  const qvt::CHexStore& deviceId() const { return deviceId_; }
  void setDeviceId(const qvt::CHexStore& id) { deviceId_ = id; }
  // receivedBytes: the message as received, when the host keeps it.
  const qvt::CHexStore& receivedBytes() const { return receivedBytes_; }
  void setReceivedBytes(const qvt::CHexStore& bytes) { receivedBytes_ = bytes; }

  // (CObject) string(text): sets server address, device identifier and
  // account name from the keys above (absent keys leave the value as it
  // is); string(): those three keys.
  void string(const std::string& text) override;
  std::string string() const override;

 private:
  const CIServerObject* server_;
  qvt::CGeneralPtr<qvt::COption> incoming_;
  std::vector<std::string> interfaces_;
  qvt::CIPAddress serverAddress_;
  qvt::CIPAddress peerAddress_;
  CProvisioned provisioned_;
  qvt::CHexStore deviceId_{0};
  qvt::CHexStore receivedBytes_{0};
};
