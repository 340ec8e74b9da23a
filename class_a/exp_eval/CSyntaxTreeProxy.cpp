#include "class_a/exp_eval/CSyntaxTreeProxy.h"

#include <algorithm>
#include <utility>

#include "class_a/exp_eval/CConditionalExprNode.h"
#include "class_a/exp_eval/CFuncExprNode.h"
#include "class_a/exp_eval/CListItemExprNode.h"
#include "class_a/exp_eval/CNonterminalNode.h"
#include "class_a/standard/Fail.h"

namespace qvt {

CSyntaxTreeProxy::CSyntaxTreeProxy(CGeneralPtr<CNodeBaseFactory> factory)
    : factory_(std::move(factory)) {
  if (!factory_) return;
  roots_ = factory_->releaseRoots();
  for (const auto& root : roots_)
    depth_ = std::max(depth_, root->depth());
}

CSyntaxTreeProxy::~CSyntaxTreeProxy() = default;

CNodeBase* CSyntaxTreeProxy::_find(std::size_t index) const {
  if (index >= roots_.size()) {
    fail(CRaiser::of(*this), "exp_eval", "CExpEval::_find",
         {"Unable to find parse element with index %1.", index}, "Element does not exist.");
  }
  return roots_[index].get();
}

const CTokenList& CSyntaxTreeProxy::tokens() const {
  if (tokens_) return *tokens_;
  // Each node was built from one token after the tokens of its operands,
  // which it took from the stack in order: a walk that gives every node's
  // operands, then the node's own token, gives the sequence back. A call
  // took its arguments last first into its chain (the chain's first link
  // holds the last argument); the branch pair of "?" and the chain's links
  // came from no token of their own.
  auto postfix = std::make_unique<CTokenList>();
  struct CStep {
    const CNodeBase* node;
    bool operandsDone;
  };
  std::vector<CStep> pending;
  for (const auto& root : roots_) {
    pending.push_back({root.get(), false});
    while (!pending.empty()) {
      const CStep step = pending.back();
      pending.pop_back();
      if (step.node == nullptr) continue;
      if (step.node->isLiteral()) {
        postfix->emplace_back(step.node->value());
        continue;
      }
      const auto& node = static_cast<const CNonterminalNode&>(*step.node);
      if (step.operandsDone) {
        postfix->emplace_back(node.op());
        continue;
      }
      pending.push_back({&node, true});
      if (dynamic_cast<const CFuncExprNode*>(&node) != nullptr) {
        for (auto* link = static_cast<const CListItemExprNode*>(node.right());
             link != nullptr && !link->end(); link = link->next()) {
          pending.push_back({link->left(), false});
        }
        pending.push_back({node.left(), false});
      } else if (dynamic_cast<const CConditionalExprNode*>(&node) != nullptr) {
        if (const auto* branches = static_cast<const CNonterminalNode*>(node.right())) {
          pending.push_back({branches->right(), false});
          pending.push_back({branches->left(), false});
        }
        pending.push_back({node.left(), false});
      } else {
        pending.push_back({node.right(), false});
        pending.push_back({node.left(), false});
      }
    }
  }
  tokens_ = std::move(postfix);
  return *tokens_;
}

void CSyntaxTreeProxy::walk(const CVisitor& visit) const {
  std::vector<std::pair<const CNodeBase*, std::size_t>> pending;
  for (std::size_t root = 0; root < roots_.size(); ++root) {
    pending.emplace_back(roots_[root].get(), 0);
    while (!pending.empty()) {
      const auto [node, level] = pending.back();
      pending.pop_back();
      visit(*node, level, root);
      if (const CNonterminalNode* inner = CNonterminalNode::inner(node)) {
        if (inner->right()) pending.emplace_back(inner->right(), level + 1);
        if (inner->left()) pending.emplace_back(inner->left(), level + 1);
      }
    }
  }
}

}  // namespace qvt
