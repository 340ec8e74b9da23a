#include "tools/dhcp-eval/TreeText.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "class_a/exp_eval/CConditionalArgsNode.h"
#include "class_a/exp_eval/CConditionalExprNode.h"
#include "class_a/exp_eval/CFuncExprNode.h"
#include "class_a/exp_eval/CListItemExprNode.h"
#include "class_a/exp_eval/CNonterminalNode.h"
#include "class_a/exp_eval/CUnaryExprNode.h"
#include "class_a/standard/CException.h"
#include "tools/dhcp-eval/ValueText.h"

namespace qvt::tool {

namespace {

// Values are aligned in one column unless the labels run deeper than this.
constexpr std::size_t kMaxValueColumn = 40;

struct CLine {
  std::string label;  // indentation and label
  std::string value;
};

struct CPending {
  const CNodeBase* node;  // null: an operand the expression lacks
  std::size_t level;
};

std::string valueText(const CVariant& value) {
  try {
    return describeValue(value);
  } catch (const CException& e) {
    return "(cannot show: " + e.text() + ")";
  }
}

std::string stateText(const CNonterminalNode& node, const CTraceRecorder& recorder) {
  switch (recorder.state(node)) {
    case CTraceRecorder::kFinished:
      return valueText(node.value());
    case CTraceRecorder::kStarted:
      return "(failed)";
    case CTraceRecorder::kNotRun:
      break;
  }
  return "(not evaluated)";
}

// callLabel: "$" (or "$$") and the name the call's left operand holds.
std::string callLabel(const CFuncExprNode& call) {
  std::string label = call.op().string();
  const CNodeBase* const name = call.left();
  if (name != nullptr && name->value().isString()) label += name->value().stringView();
  return label;
}

// children: the nodes shown below node, first shown first.
std::vector<const CNodeBase*> children(const CNonterminalNode& node) {
  std::vector<const CNodeBase*> shown;
  if (const auto* call = dynamic_cast<const CFuncExprNode*>(&node)) {
    // The chain's first link holds the last argument.
    for (auto* link = dynamic_cast<const CListItemExprNode*>(call->right());
         link != nullptr && !link->end(); link = link->next()) {
      shown.push_back(link->left());
    }
    std::reverse(shown.begin(), shown.end());
    return shown;
  }
  if (dynamic_cast<const CUnaryExprNode*>(&node) != nullptr) return {node.left()};
  shown.push_back(node.left());
  if (dynamic_cast<const CConditionalExprNode*>(&node) != nullptr) {
    if (const auto* branches = dynamic_cast<const CConditionalArgsNode*>(node.right())) {
      shown.push_back(branches->left());
      shown.push_back(branches->right());
      return shown;
    }
  }
  shown.push_back(node.right());
  return shown;
}

CLine describeNode(const CPending& pending, const CTraceRecorder& recorder,
                   std::vector<CPending>& work) {
  CLine line{std::string(pending.level * 2, ' '), std::string()};
  if (pending.node == nullptr) {
    line.label += "(missing operand)";
    return line;
  }
  const auto* inner = dynamic_cast<const CNonterminalNode*>(pending.node);
  if (inner == nullptr) {
    line.label += "literal";
    line.value = valueText(pending.node->value());
    return line;
  }
  if (const auto* call = dynamic_cast<const CFuncExprNode*>(inner)) {
    line.label += callLabel(*call);
  } else if (dynamic_cast<const CConditionalExprNode*>(inner) != nullptr) {
    line.label += "?:";
  } else {
    line.label += operatorLabel(inner->op());
  }
  line.value = stateText(*inner, recorder);
  const std::vector<const CNodeBase*> below = children(*inner);
  for (auto child = below.rbegin(); child != below.rend(); ++child) {
    work.push_back(CPending{*child, pending.level + 1});
  }
  return line;
}

}  // namespace

void writeTree(std::ostream& out, const CSyntaxTreeProxy& tree, const CTraceRecorder& recorder,
               std::size_t indent) {
  std::vector<CLine> lines;
  std::vector<CPending> work;
  for (std::size_t root = tree.rootCount(); root > 0; --root) {
    work.push_back(CPending{tree._find(root - 1), 0});
  }
  while (!work.empty()) {
    const CPending pending = work.back();
    work.pop_back();
    lines.push_back(describeNode(pending, recorder, work));
  }
  std::size_t column = 0;
  for (const CLine& line : lines)
    column = std::max(column, line.label.size());
  column = std::min(column, kMaxValueColumn);
  const std::string margin(indent, ' ');
  for (const CLine& line : lines) {
    out << margin << line.label;
    if (!line.value.empty()) {
      const std::size_t pad = line.label.size() < column ? column - line.label.size() : 0;
      out << std::string(pad + 2, ' ') << line.value;
    }
    out << '\n';
  }
}

}  // namespace qvt::tool
