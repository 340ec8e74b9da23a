#include "class_a/exp_eval/CTerminalNode.h"

namespace qvt {

CTerminalNode::~CTerminalNode() = default;

}  // namespace qvt
