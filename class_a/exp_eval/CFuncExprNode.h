// CFuncExprNode: a function call "$NAME(arguments)".
//
// Left is the name (a string marked as function name), right the argument
// chain (CListItemExprNode). The argument and result lists are kept in the
// node and reused on every run.
#pragma once

#include <cstddef>

#include "class_a/exp_eval/CExpressionNode.h"
#include "class_a/exp_eval/CMultiVariant.h"

namespace qvt {

class CFuncExprNode : public CExpressionNode {
 public:
  using CExpressionNode::CExpressionNode;
  // interpret: the name, then the arguments (first to last); false when
  // either gives false. Calls the handler registered under the name (as the
  // engine's callback does) with the arguments, the first argument current,
  // and takes the last value the handler appended.
  // Raises "Failed to execute function '%1'." ("Function did not return a
  // result.") when the handler appended nothing, the same description with
  // "Its value of %1 bytes is longer than the %2 bytes a value may hold."
  // for a string or byte sequence longer than CExpEval::kMaxValueSize,
  // "Left operand not defined." without a name, and the errors of the call.
  bool interpret() override;
  ~CFuncExprNode() override;

 private:
  [[gnu::noinline]] void _call(const CVariant& name);
  [[noreturn]] [[gnu::cold]] [[gnu::noinline]] void _failNoResult(const CVariant& name) const;
  [[noreturn]] [[gnu::cold]] [[gnu::noinline]] void _failTooLong(const CVariant& name,
                                                                 std::size_t size) const;

  CMultiVariant arguments_;
  CMultiVariant results_;
  // The handler found for the name, valid while the engine's function table
  // has the recorded version (the name of a call never changes).
  CFunctionHandler handler_ = nullptr;
  std::uint64_t handlerVersion_ = 0;
};

}  // namespace qvt
