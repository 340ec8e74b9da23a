// CHostProtocolContext: the reference host's protocol context: the family an
// evaluator serves, the key-value store that $DB.KEYVALUE reads and the
// provisioner that $PROV.RULE and $PROV.ENABLED reach.
//
//   CHostProtocolContext context(&host, CProtocolFamily(4), "dhcp4", store, provisioner);
//   factory.instance(context, &node, &reply);
//
// Everything it holds is fixed at construction, and the store and the
// provisioner carry their own locks, so the context may be used from several
// threads at once.
#pragma once

#include <memory>
#include <string>

#include "class_a/standard/CProtocolFamily.h"
#include "class_b/dhcp/dhcp_eval/CProtocolContext.h"

namespace qvt::host {

class CHostProtocolContext : public CProtocolContext {
 public:
  // CHostProtocolContext: for host (not owned; may be null), serving family,
  // with store (not owned, must outlive the context; null: no database) and
  // provisioner (shared; null: no provisioning).
  CHostProtocolContext(CIHostContext* host, const CProtocolFamily& family, std::string name,
                       CIKeyValueStore* store, std::shared_ptr<CIDHCPProvisioner> provisioner);
  ~CHostProtocolContext() override;

  CProtocolFamily protocolFamily() const override { return family_; }
  // provisioner: a new holder (single-thread count of its own) of a handle
  // that forwards to the shared provisioner, so holders made on different
  // threads share no count; an empty holder when there is no provisioner.
  CGeneralPtr<CIDHCPProvisioner> provisioner() override;
  CIKeyValueStore* keyValueStore() override { return store_; }

 private:
  CProtocolFamily family_;
  CIKeyValueStore* store_;
  std::shared_ptr<CIDHCPProvisioner> provisioner_;
};

}  // namespace qvt::host
