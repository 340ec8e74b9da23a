// CDHCPEvalFactory: the plugin object of the dhcp_eval module, named
// "Expression Evaluator".
//
// It offers "CIDHCPEvalFactory,CPlugin", depends on "CISystemBusFactory", and
// keeps no state: every life-cycle step succeeds and does nothing, and
// instance() may be called from any thread.
#pragma once

#include "class_b/dhcp/dhcp_eval/CIDHCPEvalFactory.h"

namespace qvt {

class CDHCPEvalFactory : public CIDHCPEvalFactory {
 public:
  CDHCPEvalFactory() = default;
  ~CDHCPEvalFactory() override;

  // prepare: true; the list is not looked at.
  bool prepare(const CPluginList& plugins) override;
  // initialize: 0.
  std::int32_t initialize() override;
  void finalize() override;
  void configure() override;
  void reconfigure() override;
  std::string name() const override;
  // version: 1.
  std::int32_t version() const override;
  std::string types() const override;
  std::string dependencies() const override;

  // instance: a CDHCP4Eval for family 4, a CDHCP6Eval for family 6 (see
  // CIDHCPEvalFactory). Building one registers no function one by one and
  // keys no cipher (the cipher is keyed on its first use), so an evaluator
  // per exchange is cheap. Raises "Cannot create an evaluator instance."
  // with reason "Unknown protocol family." for any other family.
  CGeneralPtr<CExpEval> instance(CProtocolContext& protocolContext, CNodeContext* nodeContext,
                                 COutputContext* outputContext) override;
};

}  // namespace qvt
