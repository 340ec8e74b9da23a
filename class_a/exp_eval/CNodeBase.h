// CNodeBase: a node of a compiled expression's syntax tree.
//
// Each node computes its own value with interpret() and keeps it until the
// next run, so one tree may be run any number of times but by one thread at
// a time. interpret() answers false when the node produced no value; callers
// pass a false upward.
#pragma once

#include <cstdint>

#include "class_a/standard/CVariant.h"

namespace qvt {

class CExpEval;

class CNodeBase {
 public:
  // CNodeBase: an unknown value, dispatching calls to context (not owned).
  explicit CNodeBase(CExpEval* context) noexcept : context_(context) {}
  // CNodeBase(context, value): a node whose value starts as value.
  CNodeBase(CExpEval* context, const CVariant& value) : value_(value), context_(context) {}
  CNodeBase(const CNodeBase&) = delete;
  CNodeBase& operator=(const CNodeBase&) = delete;

  // interpret: computes value(); true when a value was produced. Raises the
  // CException of the failing operation or function.
  virtual bool interpret() = 0;
  virtual ~CNodeBase();

  // value: the result of the last interpret (for a leaf, its literal, which
  // never changes: nodes above may keep conversions of it).
  const CVariant& value() const noexcept { return value_; }
  CExpEval* context() const noexcept { return context_; }
  // isLiteral: the node is a leaf holding a literal (CTerminalNode).
  bool isLiteral() const noexcept { return literal_; }
  // isInner: the node is a CNonterminalNode (a test that costs no cast).
  bool isInner() const noexcept { return inner_; }

  // depth: how many nested interpret calls the subtree needs at most (1 for
  // a leaf); the factory sets it when it builds the node.
  std::uint32_t depth() const noexcept { return depth_; }
  void setDepth(std::uint32_t depth) noexcept { depth_ = depth; }

 protected:
  CVariant value_;
  CExpEval* context_;
  std::uint32_t depth_ = 1;
  bool literal_ = false;
  bool inner_ = false;
};

}  // namespace qvt
