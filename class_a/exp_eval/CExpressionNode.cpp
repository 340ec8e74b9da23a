#include "class_a/exp_eval/CExpressionNode.h"

#include "class_a/standard/Fail.h"

namespace qvt {

CExpressionNode::~CExpressionNode() = default;

void CExpressionNode::_setBoolean(bool value) {
  value_ = CVariant(value);
}

void CExpressionNode::_failNode(const char* operation, const char* description,
                                const char* reason) const {
  fail(CRaiser::of(*this), "exp_eval", operation, description, reason);
}

}  // namespace qvt
