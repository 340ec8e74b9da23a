// CIDHCPProvisioner: the provisioning side of the DHCP server, as the
// expression functions $PROV.RULE and $PROV.ENABLED reach it.
//
// The host gives one through its protocol context on every call
// (CProtocolContext::provisioner) and does its own locking:
//
//   CGeneralPtr<CIDHCPProvisioner> provisioner = context.provisioner();
//   qvt::CMultiVariant values = provisioner->evaluateRule(7);
//   provisioner->setPersistEnabled(true);
#pragma once

#include <cstdint>

#include "class_a/exp_eval/CMultiVariant.h"

class CIDHCPProvisioner {
 public:
  virtual ~CIDHCPProvisioner();

  // evaluateRule: the values provisioning rule `rule` yields, first to last
  // (the last one current). Raises the host's own CException for a rule it
  // cannot evaluate.
  virtual qvt::CMultiVariant evaluateRule(std::uint32_t rule) = 0;
  // setPersistEnabled: keeps the persist-enabled flag of the exchange.
  virtual void setPersistEnabled(bool enabled) = 0;

 protected:
  CIDHCPProvisioner() = default;
  CIDHCPProvisioner(const CIDHCPProvisioner&) = default;
  CIDHCPProvisioner& operator=(const CIDHCPProvisioner&) = default;
};
