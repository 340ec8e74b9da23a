// CSyntaxTreeProxy: one compiled expression.
//
// It keeps the filled node factory and the roots of its trees (index 0 = the
// first written), which it owns. The postfix tokens the trees were built
// from follow from the trees themselves: they are rebuilt the first time
// they are asked for, so a tree that is only run does not carry them.
// Compiled expressions are handed around as CGeneralPtr<CSyntaxTreeProxy>;
// copies of the holder share the proxy. Running it (CExpEval::execute) only
// changes the values kept in its nodes.
//
//   CGeneralPtr<CSyntaxTreeProxy> tree = engine.compile("(1)(2)");
//   tree->rootCount();   // 2
//   tree->walk([](const CNodeBase& node, std::size_t level, std::size_t root) { ... });
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "class_a/exp_eval/CNodeBase.h"
#include "class_a/exp_eval/CNodeBaseFactory.h"
#include "class_a/exp_eval/CToken.h"
#include "class_a/standard/CGeneralPtr.h"

namespace qvt {

class CSyntaxTreeProxy {
 public:
  // CSyntaxTreeProxy: takes over the roots on factory's stack (bottom =
  // index 0) and keeps factory.
  explicit CSyntaxTreeProxy(CGeneralPtr<CNodeBaseFactory> factory);
  CSyntaxTreeProxy(const CSyntaxTreeProxy&) = delete;
  CSyntaxTreeProxy& operator=(const CSyntaxTreeProxy&) = delete;
  virtual ~CSyntaxTreeProxy();

  // _find: the root with index. Raises "Unable to find parse element with
  // index %1." ("Element does not exist.", operation "CExpEval::_find").
  CNodeBase* _find(std::size_t index) const;
  // root: the root with index; index must be below rootCount().
  CNodeBase& root(std::size_t index) const noexcept { return *roots_[index]; }
  // rootCount: the number of roots (0 for an empty expression).
  std::size_t rootCount() const noexcept { return roots_.size(); }
  // tokens: the postfix tokens the tree was built from: every root's nodes
  // in the order the factory consumed them (children before their node, a
  // call's name before its arguments). Rebuilt from the tree on the first
  // call and kept; like running, not for two threads at once.
  const CTokenList& tokens() const;
  // factory: the factory that built the tree; its stack lists the roots.
  const CNodeBaseFactory& factory() const noexcept { return *factory_.get(); }
  // depth: the deepest root's depth (0 without roots).
  std::uint32_t depth() const noexcept { return depth_; }
  // running: an execution of this tree is under way (CExpEval::execute
  // marks it), so a nested execution must not reuse its nodes.
  bool running() const noexcept { return running_; }
  void setRunning(bool running) const noexcept { running_ = running; }

  // CVisitor: called with a node, its level (0 for a root) and its root index.
  using CVisitor = std::function<void(const CNodeBase& node, std::size_t level, std::size_t root)>;
  // walk: visits every node of every root in order, each node before its
  // children and a left child before a right one; missing children are
  // skipped. Uses a work list, not recursion.
  void walk(const CVisitor& visit) const;

 private:
  mutable std::unique_ptr<CTokenList> tokens_;  // rebuilt by tokens()
  CGeneralPtr<CNodeBaseFactory> factory_;
  std::vector<std::unique_ptr<CNodeBase>> roots_;
  std::uint32_t depth_ = 0;
  mutable bool running_ = false;
};

template <>
struct CGeneralPtrModule<CSyntaxTreeProxy> {
  static const char* name() { return "exp_eval"; }
};

}  // namespace qvt
