// CPrecompiledExpressions: an evaluator's cache of compiled expressions,
// keyed by the exact expression text (byte for byte; blanks count).
//
//   CGeneralPtr<CSyntaxTreeProxy> tree = cache.find(text);
//   if (!tree) cache.store(text, tree = engine.CExpEval::compile(text));
//
// It never evicts and has no size limit: it lives and dies with its
// evaluator and, like the evaluator, is used by one thread at a time.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/standard/CGeneralPtr.h"

namespace qvt {

class CPrecompiledExpressions {
 public:
  CPrecompiledExpressions() = default;
  // Trees keep the values of their last run, so two evaluators never share
  // one: the cache is not copied.
  CPrecompiledExpressions(const CPrecompiledExpressions&) = delete;
  CPrecompiledExpressions& operator=(const CPrecompiledExpressions&) = delete;
  virtual ~CPrecompiledExpressions();

  // find: the tree stored under exactly text; an empty holder when there is
  // none.
  CGeneralPtr<CSyntaxTreeProxy> find(std::string_view text) const;
  // store: keeps tree under text, replacing what was stored there.
  void store(std::string text, const CGeneralPtr<CSyntaxTreeProxy>& tree);

  std::size_t size() const noexcept { return trees_.size(); }
  bool empty() const noexcept { return trees_.empty(); }

 private:
  std::map<std::string, CGeneralPtr<CSyntaxTreeProxy>, std::less<>> trees_;
};

}  // namespace qvt
