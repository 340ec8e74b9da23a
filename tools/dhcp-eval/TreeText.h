// TreeText: the syntax tree of a compiled expression as indented text, with
// the value every node holds after a run.
//
// One node per line, a child two blanks deeper than its parent: the operator
// spelling ("u-" for the unary minus), "$NAME" for a call (its arguments
// below it in written order), "?:" for the conditional (condition, then the
// two branches) or "literal" for a leaf, followed by the node's value:
//
//   $STARTSWITH   boolean false
//     literal     string "pktc1.0"
//     literal     string "docsis"
//
// An operator node that did not run shows "(not evaluated)", one whose run
// raised shows "(failed)", and an operand the expression lacks shows as
// "(missing operand)". Leaves always show their literal.
#pragma once

#include <ostream>

#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "tools/dhcp-eval/CTraceRecorder.h"

namespace qvt::tool {

// writeTree: every root of tree, first to last, each line indented by
// indent blanks more; node states as recorder saw them. Walks the tree with
// a work list, so any depth is printed without recursion.
void writeTree(std::ostream& out, const CSyntaxTreeProxy& tree, const CTraceRecorder& recorder,
               std::size_t indent = 2);

}  // namespace qvt::tool
