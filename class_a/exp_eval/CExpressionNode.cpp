#include "class_a/exp_eval/CExpressionNode.h"

namespace qvt {

CExpressionNode::~CExpressionNode() = default;

}  // namespace qvt
