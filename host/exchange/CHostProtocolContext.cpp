#include "host/exchange/CHostProtocolContext.h"

#include <utility>

namespace qvt::host {

namespace {

// CProvisionerHandle: what one provisioner() call hands out.
class CProvisionerHandle : public CIDHCPProvisioner {
 public:
  explicit CProvisionerHandle(std::shared_ptr<CIDHCPProvisioner> target)
      : target_(std::move(target)) {}
  CMultiVariant evaluateRule(std::uint32_t rule) override { return target_->evaluateRule(rule); }
  void setPersistEnabled(bool enabled) override { target_->setPersistEnabled(enabled); }

 private:
  std::shared_ptr<CIDHCPProvisioner> target_;
};

}  // namespace

CHostProtocolContext::CHostProtocolContext(CIHostContext* host, const CProtocolFamily& family,
                                           std::string name, CIKeyValueStore* store,
                                           std::shared_ptr<CIDHCPProvisioner> provisioner)
    : CProtocolContext(host, std::move(name)),
      family_(family),
      store_(store),
      provisioner_(std::move(provisioner)) {}

CHostProtocolContext::~CHostProtocolContext() = default;

CGeneralPtr<CIDHCPProvisioner> CHostProtocolContext::provisioner() {
  if (!provisioner_) return CGeneralPtr<CIDHCPProvisioner>();
  return CGeneralPtr<CIDHCPProvisioner>(new CProvisionerHandle(provisioner_));
}

}  // namespace qvt::host
