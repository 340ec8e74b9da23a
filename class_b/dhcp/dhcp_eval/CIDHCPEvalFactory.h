// CIDHCPEvalFactory: the plugin interface through which a DHCP server obtains
// expression evaluators.
//
// The server finds the plugin offering "CIDHCPEvalFactory" (CPlugin::isA) and
// asks it for one evaluator per message exchange, bound to that exchange's
// contexts:
//
//   auto* factory = static_cast<qvt::CIDHCPEvalFactory*>(plugin);
//   qvt::CGeneralPtr<qvt::CExpEval> eval = factory->instance(context, node, reply);
#pragma once

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/extended/CPlugin.h"
#include "class_a/standard/CGeneralPtr.h"

// The host's contexts of a message exchange.
class CProtocolContext;
class CNodeContext;
class COutputContext;

namespace qvt {

class CIDHCPEvalFactory : public CPlugin {
 public:
  ~CIDHCPEvalFactory() override;

  // instance: a new evaluator for protocolContext's family (4 or 6), reading
  // the received message through nodeContext and the reply through
  // outputContext (none of them owned; they must outlive the evaluator). The
  // caller owns the result. Raises "Cannot create an evaluator instance."
  // (operation "CDHCPEvalFactoryPtr::instance", module "dhcp_eval") for any
  // other family.
  virtual CGeneralPtr<CExpEval> instance(CProtocolContext& protocolContext,
                                         CNodeContext* nodeContext,
                                         COutputContext* outputContext) = 0;
};

}  // namespace qvt
