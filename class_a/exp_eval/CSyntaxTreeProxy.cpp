#include "class_a/exp_eval/CSyntaxTreeProxy.h"

#include <algorithm>
#include <utility>

#include "class_a/exp_eval/CNonterminalNode.h"
#include "class_a/standard/Fail.h"

namespace qvt {

CSyntaxTreeProxy::CSyntaxTreeProxy(CGeneralPtr<CNodeBaseFactory> factory, CTokenList tokens)
    : tokens_(std::move(tokens)), factory_(std::move(factory)) {
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

void CSyntaxTreeProxy::walk(const CVisitor& visit) const {
  std::vector<std::pair<const CNodeBase*, std::size_t>> pending;
  for (std::size_t root = 0; root < roots_.size(); ++root) {
    pending.emplace_back(roots_[root].get(), 0);
    while (!pending.empty()) {
      const auto [node, level] = pending.back();
      pending.pop_back();
      visit(*node, level, root);
      if (const auto* inner = dynamic_cast<const CNonterminalNode*>(node)) {
        if (inner->right()) pending.emplace_back(inner->right(), level + 1);
        if (inner->left()) pending.emplace_back(inner->left(), level + 1);
      }
    }
  }
}

}  // namespace qvt
