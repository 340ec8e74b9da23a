#include "class_b/dhcp/dhcp_eval/CPrecompiledExpressions.h"

#include <utility>

namespace qvt {

CPrecompiledExpressions::~CPrecompiledExpressions() = default;

CGeneralPtr<CSyntaxTreeProxy> CPrecompiledExpressions::find(std::string_view text) const {
  const auto found = trees_.find(text);
  return found == trees_.end() ? CGeneralPtr<CSyntaxTreeProxy>() : found->second;
}

void CPrecompiledExpressions::store(std::string text, const CGeneralPtr<CSyntaxTreeProxy>& tree) {
  trees_.insert_or_assign(std::move(text), tree);
}

}  // namespace qvt
