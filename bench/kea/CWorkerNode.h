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
// point() replaces only the message and the peer address
// (CNodeContext::setIncoming, setPeerAddress); the benchmark never fills
// the provisioning data or the device identifier, so nothing else needs
// resetting between exchanges.
#pragma once

#include <utility>

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
  void point(qvt::CGeneralPtr<qvt::COption> message, const qvt::CIPAddress& peer) {
    context_.setIncoming(std::move(message));
    context_.setPeerAddress(peer);
  }

 private:
  CNodeContext context_;
};

}  // namespace keabench
