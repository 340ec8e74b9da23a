// CProtocolContext: the host's description of the protocol an evaluator
// serves, and the source of what the DHCP functions ask of the host.
//
// The host passes an object of its own derived class to
// CIDHCPEvalFactory::instance; the factory reads protocolFamily() to choose the
// evaluator, and the evaluator keeps hostContext as the host context of its
// expression engine. The derived class supplies the provisioner ($PROV.RULE,
// $PROV.ENABLED) and the key-value database ($DB.KEYVALUE,
// $DB.KEYVALUE.EXISTS). One context may serve evaluators on several threads:
// both operations must be safe to call from any thread.
#pragma once

#include <string>

#include "class_a/standard/CGeneralPtr.h"
#include "class_a/standard/CProtocolFamily.h"
#include "class_b/dhcp/dhcp_eval/CIDHCPProvisioner.h"

namespace qvt {
class CIHostContext;
class CIKeyValueStore;
}  // namespace qvt

class CProtocolContext {
 public:
  // A context for hostContext (not owned; may be null) under a display name.
  CProtocolContext(qvt::CIHostContext* hostContext, std::string name);
  CProtocolContext(const CProtocolContext&) = default;
  CProtocolContext& operator=(const CProtocolContext&) = default;
  virtual ~CProtocolContext();

  // protocolFamily: the family the host serves here. Base: unspecified (0).
  virtual qvt::CProtocolFamily protocolFamily() const;
  // provisioner: the provisioner of the exchange in hand, asked anew for every
  // call. Base: an empty holder (a host without provisioning).
  virtual qvt::CGeneralPtr<CIDHCPProvisioner> provisioner();
  // keyValueStore: the key-value records (not owned; lives as long as the
  // context). Base: null (a host without a database).
  virtual qvt::CIKeyValueStore* keyValueStore();

  qvt::CIHostContext* hostContext() const { return hostContext_; }
  const std::string& name() const { return name_; }

 private:
  qvt::CIHostContext* hostContext_;
  std::string name_;
};
