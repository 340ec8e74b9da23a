// CToken: one element of an expression's postfix sequence.
//
// A token is an operator (kind 1, with its COperator) or an operand (kind 2,
// with its CVariant value). The parser (CExpEval::parse) produces them, the
// node factory consumes them, and compiled expressions compare through them:
//
//   CToken five(CVariant::fromText("5"));     // operand, uinteger 5
//   CToken plus(COperator(COperator::kAdd));  // operator "+"
//   five.string();                            // "5"
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "class_a/exp_eval/COperator.h"
#include "class_a/standard/CVariant.h"

namespace qvt {

class CToken {
 public:
  enum Kind : std::int32_t { kNone = 0, kOperator = 1, kOperand = 2 };

  // CToken: kind none, unknown value, operator code 0.
  CToken() = default;
  // CToken(op): an operator token.
  explicit CToken(COperator op) noexcept : kind_(kOperator), op_(op) {}
  // CToken(value): an operand token.
  explicit CToken(const CVariant& value) : kind_(kOperand), value_(value) {}
  explicit CToken(CVariant&& value) noexcept : kind_(kOperand), value_(std::move(value)) {}
  CToken(const CToken&) = default;
  CToken(CToken&&) noexcept = default;
  CToken& operator=(const CToken&) = default;
  CToken& operator=(CToken&&) noexcept = default;
  virtual ~CToken();

  Kind kind() const noexcept { return kind_; }
  bool isOperator() const noexcept { return kind_ == kOperator; }
  bool isOperand() const noexcept { return kind_ == kOperand; }
  const CVariant& value() const noexcept { return value_; }
  COperator op() const noexcept { return op_; }

  // operator==: same kind and, for operands, values of the same type and
  // subtype that compare equal, for operators the same code. Never raises.
  bool operator==(const CToken& other) const;
  bool operator!=(const CToken& other) const { return !(*this == other); }

  // string: an operand's text form (its type's text; empty when it has none)
  // or an operator's spelling; used by traces.
  std::string string() const;

 private:
  Kind kind_ = kNone;
  CVariant value_;
  COperator op_;
};

// CTokenList: a postfix sequence, first token first.
using CTokenList = std::vector<CToken>;

}  // namespace qvt
