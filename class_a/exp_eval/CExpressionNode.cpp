#include "class_a/exp_eval/CExpressionNode.h"

#include <string>
#include <utility>

#include "class_a/standard/CVariantConversion.h"
#include "class_a/standard/Fail.h"

namespace qvt {

CExpressionNode::~CExpressionNode() = default;

const CVariant& CExpressionNode::_align(const CVariant& left, const CVariant& literal) {
  if (left.isEndpoint()) return literal;
  CVariant converted;
  CVariantConversion::convertInto(literal, converted, left.type(), left.subtype(), std::string());
  if (converted.type() != left.type() || converted.subtype() != left.subtype()) return literal;
  if (aligned_) {
    *aligned_ = std::move(converted);
  } else {
    aligned_ = std::make_unique<CVariant>(std::move(converted));
  }
  return *aligned_;
}

void CExpressionNode::_failNode(const char* operation, const char* description,
                                const char* reason) const {
  fail(CRaiser::of(*this), "exp_eval", operation, description, reason);
}

}  // namespace qvt
