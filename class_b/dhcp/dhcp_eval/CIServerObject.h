// CIServerObject: the server a node context belongs to, as the evaluators see
// it: the source of the shared vendor lookup ($DEVICE.VENDORID and the other
// vendor names).
//
// The lookup is handed out as a plain pointer rather than a counted holder:
// evaluators on several threads read the same lookup, and a single-thread
// use count must not be touched by more than one of them.
#pragma once

#include "class_b/dhcp/dhcp_base/CVendorLookup.h"

class CIServerObject {
 public:
  virtual ~CIServerObject();

  // vendorLookup: the server's vendor lookup (not owned, read-only, lives as
  // long as the server); null when the server knows no vendors.
  virtual const qvt::CVendorLookup* vendorLookup() const = 0;

 protected:
  CIServerObject() = default;
  CIServerObject(const CIServerObject&) = default;
  CIServerObject& operator=(const CIServerObject&) = default;
};
