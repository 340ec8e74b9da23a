#include "class_a/exp_eval/CExpression.h"

#include <string_view>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

std::string_view trimBlanks(std::string_view text) noexcept {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::string_view();
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool enclosedIn(std::string_view text, char open, char close) noexcept {
  return text.size() >= 2 && text.front() == open && text.back() == close;
}

}  // namespace

CExpression::CExpression(CExpEval* evaluator, const std::string& text) : evaluator_(evaluator) {
  *this = text;
}

CExpression::~CExpression() = default;

const CMultiVariant& CExpression::operator*() {
  results_.clear();
  try {
    evaluator_->execute(results_, tree_);
  } catch (CException& inner) {
    _failWider(inner, "CExpression::operator*", "Cannot execute expression '%1'.");
  }
  return results_;
}

CExpression& CExpression::operator=(const std::string& text) {
  text_ = text;
  tree_ = nullptr;
  if (text_.empty()) return *this;
  const std::string_view trimmed = trimBlanks(text_);
  std::string source;
  if (enclosedIn(trimmed, '[', ']') || enclosedIn(trimmed, '\'', '\'') ||
      enclosedIn(trimmed, '"', '"')) {
    source = text_;
  } else {
    source.reserve(text_.size() + 2);
    source.append(1, '\'').append(text_).append(1, '\'');
  }
  try {
    tree_ = evaluator_->compile(std::move(source));
  } catch (CException& inner) {
    inner.report(evaluator_->exceptionStack());
    fail(CRaiser::of(*this), "exp_eval",
         "CExpression::operator=", {"Cannot parse expression '%1'.", text_},
         "Expression does not evaluate.");
  }
  return *this;
}

void CExpression::_failWider(CException& inner, const char* operation,
                             const char* description) const {
  inner.report(evaluator_->exceptionStack());
  fail(CRaiser::of(*this), "exp_eval", operation, {description, text_},
       "Expression does not evaluate.");
}

bool CExpression::operator==(const CExpression& other) const {
  if (text_ != other.text_) return false;
  if (!tree_ || !other.tree_) return !tree_ && !other.tree_;
  return tree_.get()->tokens() == other.tree_.get()->tokens();
}

}  // namespace qvt
