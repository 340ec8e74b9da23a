// CNodeBaseFactory: builds syntax trees from postfix tokens.
//
// Each token runs a builder chosen by operator code or by operand type; the
// builder pops its operands from the parse stack, makes the node and pushes
// it. The nodes left on the stack after the last token are the roots of the
// compiled expression, bottom first:
//
//   CNodeBaseFactory factory(&engine);
//   for (const CToken& token : tokens) factory.push(token);
//   factory.stack().front();   // the first root
//
// A builder that finds too few operands leaves the child missing; that fails
// only when the node is interpreted ("Left operand not defined."). The
// factory owns the nodes on its stack until releaseRoots hands them over;
// afterwards the stack still lists them, borrowed.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CNodeBase.h"
#include "class_a/exp_eval/COperator.h"
#include "class_a/exp_eval/CToken.h"

namespace qvt {

// CParseStack: the nodes built so far, top at the back.
using CParseStack = std::vector<CNodeBase*>;

class CNodeBaseFactory {
 public:
  // kMaxDepth: the deepest tree that may be built (nested operators and calls).
  static constexpr std::uint32_t kMaxDepth = 1000;

  // CNodeBaseFactory: an empty stack; the builders of every operator code
  // and operand type (one table shared by every factory) make nodes
  // dispatching to evaluator (not owned).
  explicit CNodeBaseFactory(CExpEval* evaluator);
  CNodeBaseFactory(const CNodeBaseFactory&) = delete;
  CNodeBaseFactory& operator=(const CNodeBaseFactory&) = delete;
  virtual ~CNodeBaseFactory();

  // push: runs the builder of token. Raises "Cannot evaluate operator type
  // '%1'." / "Cannot evaluate operand type '%1'." ("No conversion for this
  // type.", operation "CVariantConversion::_evaluateType") when there is no
  // builder, and "Cannot build an expression nested more than %1 levels
  // deep." ("Expression too deeply nested.", operation
  // "CNodeBaseFactory::push") when the new node would exceed kMaxDepth.
  void push(const CToken& token);
  // reserve: room on the stack for count nodes (a factory about to take
  // count tokens needs no more).
  void reserve(std::size_t count) { stack_.reserve(count); }
  // pop: removes the top node and hands it to the caller; null when the
  // stack is empty. Only while the factory still owns its nodes.
  std::unique_ptr<CNodeBase> pop();

  // stack: the parse stack (the roots, once every token is pushed).
  const CParseStack& stack() const noexcept { return stack_; }
  CExpEval* evaluator() const noexcept { return evaluator_; }
  // releaseRoots: hands the nodes on the stack over, bottom first; the stack
  // keeps listing them and the factory no longer deletes them.
  std::vector<std::unique_ptr<CNodeBase>> releaseRoots();

 private:
  using COperatorBuilder = void (CNodeBaseFactory::*)(COperator);
  using COperandBuilder = void (CNodeBaseFactory::*)(const CVariant&);

  void _push(std::unique_ptr<CNodeBase> node);
  template <class TNode>
  void _terminal(const CVariant& literal);
  void _unary(COperator op);
  template <class TNode>
  void _binary(COperator op);
  void _conditional(COperator op);
  void _function(COperator op);
  [[noreturn]] void _noOperator(COperator op) const;

  // CBuilders: the builder of each operator code and operand type; an empty
  // slot means there is none.
  struct CBuilders {
    std::array<COperatorBuilder, COperator::kCount> operators{};
    std::array<COperandBuilder, CVariantType::kCount> operands{};
  };
  static const CBuilders& _builders();

  CExpEval* evaluator_;
  CParseStack stack_;
  bool ownsNodes_ = true;
};

template <>
struct CGeneralPtrModule<CNodeBaseFactory> {
  static const char* name() { return "exp_eval"; }
};

}  // namespace qvt
