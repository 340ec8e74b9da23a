#include "CWorkerNode.h"

namespace keabench {

CWorkerNode::CWorkerNode(const CIServerObject* server, const qvt::CIPAddress& serverAddress)
    : context_(server, qvt::CGeneralPtr<qvt::COption>(), {}, serverAddress, qvt::CIPAddress()) {}

}  // namespace keabench
