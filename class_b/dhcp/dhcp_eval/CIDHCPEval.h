// CIDHCPEval: a DHCP expression evaluator as the server holds it: the
// expression engine (CExpEval) with the names of one DHCP protocol family
// registered beside the built-in functions. It adds no operation of its own;
// the server compiles and executes through the engine's interface:
//
//   CGeneralPtr<CExpEval> eval = factory->instance(context, &node, &reply);
//   CVariant isModem;
//   eval->execute(isModem, eval->compile("$CM && $IS_DISCOVER"));
//
// The concrete evaluators are CDHCP4Eval and CDHCP6Eval.
#pragma once

#include "class_a/exp_eval/CExpEval.h"

namespace qvt {

class CIDHCPEval : public CExpEval {
 public:
  ~CIDHCPEval() override = 0;

 protected:
  explicit CIDHCPEval(CIHostContext* hostContext) : CExpEval(hostContext) {}
};

}  // namespace qvt
