// CWorkerNode: the node context of one worker thread, for a server that keeps
// one long-lived evaluator per worker instead of building one per exchange.
//
// The evaluator is bound once to context(); point() then makes that same
// object describe the next exchange, so the evaluator reads the new message
// from its next expression on:
//
//   keabench::CWorkerNode node(&server, serverAddress);
//   auto evaluator = factory.instance(protocol, node.context(), &reply);
//   for (each received message) {
//     node.point(decoder.decode(bytes), relayAddress);
//     evaluator->execute(result, tree);
//   }
//
// CNodeContext offers no way to replace only the message, so point() assigns
// a whole new context (server, message, no interfaces, the server address,
// the peer address; provisioning and device identifier start empty, as they
// do for a new exchange).
#pragma once

#include "class_a/standard/CGeneralPtr.h"
#include "class_a/standard/CIPAddress.h"
#include "class_b/dhcp/dhcp_base/COption.h"
#include "class_b/dhcp/dhcp_eval/CNodeContext.h"

namespace keabench {

class CWorkerNode {
 public:
  // CWorkerNode: server is not owned (may be null); the context starts
  // without a message.
  CWorkerNode(const CIServerObject* server, const qvt::CIPAddress& serverAddress);
  CWorkerNode(const CWorkerNode&) = delete;
  CWorkerNode& operator=(const CWorkerNode&) = delete;

  // context: the node context to bind an evaluator to; its address stays the
  // same for the worker's life.
  CNodeContext* context() { return &context_; }
  // point: the context now holds message, received from peer.
  void point(qvt::CGeneralPtr<qvt::COption> message, const qvt::CIPAddress& peer);

 private:
  const CIServerObject* server_;
  qvt::CIPAddress serverAddress_;
  CNodeContext context_;
};

}  // namespace keabench
