// CVendorAttributes: the definition of one vendor class, supplied by the
// host process. The data model reads its vendor id (whose first element is
// the enterprise number) and its description; the vendor's option
// definitions stay with the host.
#pragma once

#include <string>

#include "class_b/dhcp/dhcp_base/CVendorID.h"

namespace qvt {

class CVendorAttributes {
 public:
  virtual ~CVendorAttributes();

  // vendorId: the vendor's id; element 0 is the enterprise number.
  virtual CVendorID vendorId() const = 0;
  // description: a human-readable name of the vendor class.
  virtual std::string description() const = 0;

 protected:
  CVendorAttributes() = default;
  CVendorAttributes(const CVendorAttributes&) = default;
  CVendorAttributes& operator=(const CVendorAttributes&) = default;
};

}  // namespace qvt
