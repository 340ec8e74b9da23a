// CTerminalNode: a leaf of a syntax tree, holding a literal value.
#pragma once

#include "class_a/exp_eval/CNodeBase.h"

namespace qvt {

class CTerminalNode : public CNodeBase {
 public:
  // CTerminalNode: a leaf whose value is literal.
  CTerminalNode(CExpEval* context, const CVariant& literal) : CNodeBase(context, literal) {
    literal_ = true;
  }
  bool interpret() override = 0;
  ~CTerminalNode() override;
};

}  // namespace qvt
