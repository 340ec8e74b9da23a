// CHostServer: the reference host's server object, as the evaluators see it
// through a node context: the source of the shared vendor lookup that
// $DEVICE.VENDORID, $DEVICE.TYPEID and $DEVICE.DESCRIPTION consult.
//
//   CVendorFile vendors;
//   vendors.load(COptionDictionary::defaultDirectory(), "vendors.defs");
//   CHostServer server(vendors);
//   server.vendorLookup()->locate("docsis3.0");
//
// The lookup is filled once, at construction, and only read afterwards.
#pragma once

#include "class_a/standard/CGeneralPtr.h"
#include "class_b/dhcp/dhcp_base/CVendorLookup.h"
#include "class_b/dhcp/dhcp_eval/CIServerObject.h"

namespace qvt {
class CVendorFile;
}

namespace qvt::host {

class CHostServer : public CIServerObject {
 public:
  // CHostServer: a server that knows no vendors.
  CHostServer() = default;
  // CHostServer(vendors): a server with a lookup filled from vendors' classes.
  explicit CHostServer(const CVendorFile& vendors);
  ~CHostServer() override;

  // vendorLookup: the lookup, or null for a server without vendors.
  const CVendorLookup* vendorLookup() const override { return vendors_.get(); }
  // vendorHolder: the lookup's holder (for a decoder that selects
  // vendor-specific definitions by it); one thread at a time.
  const CGeneralPtr<CVendorLookup>& vendorHolder() const { return vendors_; }

 private:
  CGeneralPtr<CVendorLookup> vendors_;
};

}  // namespace qvt::host
