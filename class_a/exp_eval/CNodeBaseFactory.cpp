#include "class_a/exp_eval/CNodeBaseFactory.h"

#include <algorithm>

#include "class_a/exp_eval/CAndExprNode.h"
#include "class_a/exp_eval/CArithmeticExprNode.h"
#include "class_a/exp_eval/CAssignExprNode.h"
#include "class_a/exp_eval/CBitwiseExprNode.h"
#include "class_a/exp_eval/CBooleanTermNode.h"
#include "class_a/exp_eval/CConditionalArgsNode.h"
#include "class_a/exp_eval/CConditionalExprNode.h"
#include "class_a/exp_eval/CEndpointTermNode.h"
#include "class_a/exp_eval/CFuncExprNode.h"
#include "class_a/exp_eval/CHexStoreTermNode.h"
#include "class_a/exp_eval/CIPAddressTermNode.h"
#include "class_a/exp_eval/CITraceSink.h"
#include "class_a/exp_eval/CIntegerTermNode.h"
#include "class_a/exp_eval/CListItemExprNode.h"
#include "class_a/exp_eval/COrExprNode.h"
#include "class_a/exp_eval/CRelationalExprNode.h"
#include "class_a/exp_eval/CStringTermNode.h"
#include "class_a/exp_eval/CTimeTermNode.h"
#include "class_a/exp_eval/CUIntegerTermNode.h"
#include "class_a/exp_eval/CUnaryExprNode.h"
#include "class_a/exp_eval/CUnknownTermNode.h"
#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

std::uint32_t depthOf(const CNodeBase* node) noexcept {
  return node ? node->depth() : 0;
}

}  // namespace

CNodeBaseFactory::CNodeBaseFactory(CExpEval* evaluator) : evaluator_(evaluator) {}

const CNodeBaseFactory::CBuilders& CNodeBaseFactory::_builders() {
  static const CBuilders builders = [] {
    using F = CNodeBaseFactory;
    CBuilders table;
    auto& ops = table.operators;
    ops[COperator::kCall] = &F::_function;
    ops[COperator::kExtendedCall] = &F::_function;
    ops[COperator::kNot] = &F::_unary;
    ops[COperator::kNegate] = &F::_unary;
    ops[COperator::kComplement] = &F::_unary;
    for (auto code :
         {COperator::kMultiply, COperator::kDivide, COperator::kAdd, COperator::kSubtract}) {
      ops[code] = &F::_binary<CArithmeticExprNode>;
    }
    for (auto code : {COperator::kLess, COperator::kLessEqual, COperator::kGreater,
                      COperator::kGreaterEqual, COperator::kEqual, COperator::kNotEqual}) {
      ops[code] = &F::_binary<CRelationalExprNode>;
    }
    for (auto code : {COperator::kBitAnd, COperator::kBitXor, COperator::kBitOr}) {
      ops[code] = &F::_binary<CBitwiseExprNode>;
    }
    ops[COperator::kAnd] = &F::_binary<CAndExprNode>;
    ops[COperator::kOr] = &F::_binary<COrExprNode>;
    ops[COperator::kConditional] = &F::_conditional;
    ops[COperator::kAssign] = &F::_binary<CAssignExprNode>;

    auto& operands = table.operands;
    operands[CVariantType::kUnknown] = &F::_terminal<CUnknownTermNode>;
    operands[CVariantType::kIPAddress] = &F::_terminal<CIPAddressTermNode>;
    operands[CVariantType::kBoolean] = &F::_terminal<CBooleanTermNode>;
    operands[CVariantType::kTime] = &F::_terminal<CTimeTermNode>;
    operands[CVariantType::kString] = &F::_terminal<CStringTermNode>;
    operands[CVariantType::kHexStore] = &F::_terminal<CHexStoreTermNode>;
    operands[CVariantType::kInteger] = &F::_terminal<CIntegerTermNode>;
    operands[CVariantType::kEndpoint] = &F::_terminal<CEndpointTermNode>;
    operands[CVariantType::kUInteger] = &F::_terminal<CUIntegerTermNode>;
    return table;
  }();
  return builders;
}

CNodeBaseFactory::~CNodeBaseFactory() {
  if (!ownsNodes_) return;
  for (CNodeBase* node : stack_)
    delete node;
}

void CNodeBaseFactory::push(const CToken& token) {
  if (token.isOperator()) {
    const COperator op = token.op();
    const COperatorBuilder builder = _builders().operators[op.code()];
    if (builder == nullptr) _noOperator(op);
    (this->*builder)(op);
    return;
  }
  const CVariant& literal = token.value();
  const COperandBuilder builder =
      token.isOperand() ? _builders().operands[literal.type().value()] : nullptr;
  if (builder == nullptr) {
    fail(CRaiser::of(*this), "exp_eval", "CVariantConversion::_evaluateType",
         {"Cannot evaluate operand type '%1'.", literal.type().name()},
         "No conversion for this type.");
  }
  (this->*builder)(literal);
}

std::unique_ptr<CNodeBase> CNodeBaseFactory::pop() {
  if (stack_.empty() || !ownsNodes_) return nullptr;
  std::unique_ptr<CNodeBase> node(stack_.back());
  stack_.pop_back();
  if (CITraceSink* sink = evaluator_ ? evaluator_->traceSink() : nullptr) {
    sink->trace("Pop:", *node);
  }
  return node;
}

std::vector<std::unique_ptr<CNodeBase>> CNodeBaseFactory::releaseRoots() {
  std::vector<std::unique_ptr<CNodeBase>> roots;
  if (!ownsNodes_) return roots;
  roots.reserve(stack_.size());
  for (CNodeBase* node : stack_)
    roots.emplace_back(node);
  ownsNodes_ = false;
  return roots;
}

void CNodeBaseFactory::_push(std::unique_ptr<CNodeBase> node) {
  if (node->depth() > kMaxDepth) {
    fail(CRaiser::of(*this), "exp_eval", "CNodeBaseFactory::push",
         {"Cannot build an expression nested more than %1 levels deep.", kMaxDepth},
         "Expression too deeply nested.");
  }
  stack_.push_back(node.get());
  node.release();
  if (CITraceSink* sink = evaluator_ ? evaluator_->traceSink() : nullptr) {
    sink->trace("Push:", *stack_.back());
  }
}

template <class TNode>
void CNodeBaseFactory::_terminal(const CVariant& literal) {
  _push(std::make_unique<TNode>(evaluator_, literal));
}

void CNodeBaseFactory::_unary(COperator op) {
  std::unique_ptr<CNodeBase> operand = pop();
  const std::uint32_t depth = depthOf(operand.get()) + 1;
  auto node = std::make_unique<CUnaryExprNode>(evaluator_, op, std::move(operand));
  node->setDepth(depth);
  _push(std::move(node));
}

template <class TNode>
void CNodeBaseFactory::_binary(COperator op) {
  std::unique_ptr<CNodeBase> right = pop();
  std::unique_ptr<CNodeBase> left = pop();
  const std::uint32_t depth = std::max(depthOf(left.get()), depthOf(right.get())) + 1;
  auto node = std::make_unique<TNode>(evaluator_, op, std::move(left), std::move(right));
  node->setDepth(depth);
  _push(std::move(node));
}

void CNodeBaseFactory::_conditional(COperator op) {
  std::unique_ptr<CNodeBase> whenFalse = pop();
  std::unique_ptr<CNodeBase> whenTrue = pop();
  const std::uint32_t branchDepth = std::max(depthOf(whenTrue.get()), depthOf(whenFalse.get())) + 1;
  auto branches = std::make_unique<CConditionalArgsNode>(evaluator_, op, std::move(whenTrue),
                                                         std::move(whenFalse));
  branches->setDepth(branchDepth);
  _push(std::move(branches));
  std::unique_ptr<CNodeBase> pair = pop();
  std::unique_ptr<CNodeBase> condition = pop();
  const std::uint32_t depth = std::max(depthOf(condition.get()), depthOf(pair.get())) + 1;
  auto node =
      std::make_unique<CConditionalExprNode>(evaluator_, op, std::move(condition), std::move(pair));
  node->setDepth(depth);
  _push(std::move(node));
}

void CNodeBaseFactory::_function(COperator op) {
  // Every node above the marked function name is an argument, the last
  // argument on top. The chain is built first link (last argument) first.
  std::unique_ptr<CListItemExprNode> head;
  CListItemExprNode* tail = nullptr;
  std::uint32_t argumentDepth = 0;
  while (!stack_.empty() && stack_.back()->value().subtype() != CVariantSubType::kFunctionName) {
    std::unique_ptr<CNodeBase> argument = pop();
    argumentDepth = std::max(argumentDepth, argument->depth());
    auto link = std::make_unique<CListItemExprNode>(evaluator_, op, std::move(argument), false);
    CListItemExprNode* const added = link.get();
    if (tail == nullptr) {
      head = std::move(link);
    } else {
      tail->setNext(std::move(link));
    }
    tail = added;
  }
  auto terminator = std::make_unique<CListItemExprNode>(evaluator_, op, nullptr, true);
  if (tail == nullptr) {
    head = std::move(terminator);
  } else {
    tail->setNext(std::move(terminator));
  }
  // The chain runs as a loop: it costs one level beside its deepest argument.
  head->setDepth(argumentDepth + 1);
  _push(std::move(head));
  std::unique_ptr<CNodeBase> chain = pop();
  std::unique_ptr<CNodeBase> name = pop();
  const std::uint32_t depth = std::max(depthOf(name.get()), depthOf(chain.get())) + 1;
  auto node = std::make_unique<CFuncExprNode>(evaluator_, op, std::move(name), std::move(chain));
  node->setDepth(depth);
  _push(std::move(node));
}

void CNodeBaseFactory::_noOperator(COperator op) const {
  fail(CRaiser::of(*this), "exp_eval", "CVariantConversion::_evaluateType",
       {"Cannot evaluate operator type '%1'.", std::string(op.spelling())},
       "No conversion for this type.");
}

}  // namespace qvt
