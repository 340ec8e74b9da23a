// CExpression: a self-contained expression: text, compiled tree and the
// results of its last run.
//
// A text in square brackets is an expression; any other text is one literal
// value (quoted, unless it already is, so that the type guessing decides its
// type). Failures are reported to the engine's exception stack and re-raised
// as wider errors naming the text:
//
//   CExpression e(&engine, "[1 + 2]");
//   (*e).current().uinteger();        // 3
//   e = "10.0.0.1";                   // the literal ip address
#pragma once

#include <string>

#include "class_a/standard/CException.h"

#include "class_a/exp_eval/CMultiVariant.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/standard/CGeneralPtr.h"

namespace qvt {

class CExpEval;

class CExpression {
 public:
  // CExpression: keeps evaluator (not owned) and assigns text (see operator=).
  CExpression(CExpEval* evaluator, const std::string& text);
  CExpression(const CExpression&) = default;
  CExpression& operator=(const CExpression&) = default;
  virtual ~CExpression();

  // operator*: clears the results, runs the tree (list form of execute) and
  // returns the results, the first top-level value current. Raises "Cannot
  // execute expression '%1'." ("Expression does not evaluate.", operation
  // "CExpression::operator*") after reporting the inner error.
  virtual const CMultiVariant& operator*();

  // operator=: stores text and compiles it with the evaluator's compile: an
  // empty text leaves no tree; a text that begins with "[" and ends with "]"
  // (blanks aside) as it is; any other text as one literal, enclosed in
  // single quotes unless already in single or double quotes. Raises "Cannot
  // parse expression '%1'." ("Expression does not evaluate.", operation
  // "CExpression::operator=") after reporting the inner error.
  CExpression& operator=(const std::string& text);

  // operator==: equal texts and equal token lists (both without tree counts
  // as equal).
  bool operator==(const CExpression& other) const;
  bool operator!=(const CExpression& other) const { return !(*this == other); }

  const std::string& text() const noexcept { return text_; }
  const CGeneralPtr<CSyntaxTreeProxy>& tree() const noexcept { return tree_; }
  const CMultiVariant& results() const noexcept { return results_; }
  CExpEval* evaluator() const noexcept { return evaluator_; }

 private:
  // _failWider: reports inner to the engine's exception stack, then raises
  // the wider error naming the text.
  [[noreturn]] [[gnu::cold]] [[gnu::noinline]] void _failWider(CException& inner,
                                                               const char* operation,
                                                               const char* description) const;

  CExpEval* evaluator_;
  std::string text_;
  CGeneralPtr<CSyntaxTreeProxy> tree_;
  CMultiVariant results_;
};

}  // namespace qvt
