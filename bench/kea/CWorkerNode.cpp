#include "CWorkerNode.h"

#include <utility>

namespace keabench {

CWorkerNode::CWorkerNode(const CIServerObject* server, const qvt::CIPAddress& serverAddress)
    : server_(server),
      serverAddress_(serverAddress),
      context_(server, qvt::CGeneralPtr<qvt::COption>(), {}, serverAddress, qvt::CIPAddress()) {}

void CWorkerNode::point(qvt::CGeneralPtr<qvt::COption> message, const qvt::CIPAddress& peer) {
  context_ = CNodeContext(server_, std::move(message), {}, serverAddress_, peer);
}

}  // namespace keabench
