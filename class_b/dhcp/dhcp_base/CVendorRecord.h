// CVendorRecord: vendor attributes held as plain values, for hosts that
// need nothing more than a vendor id and a description.
//
//   CGeneralPtr<CVendorAttributes> cablelabs(
//       new CVendorRecord(CVendorID("4491"), "CableLabs DOCSIS"));
#pragma once

#include <string>
#include <utility>

#include "class_b/dhcp/dhcp_base/CVendorAttributes.h"

namespace qvt {

class CVendorRecord : public CVendorAttributes {
 public:
  CVendorRecord(const CVendorID& id, std::string description)
      : id_(id), description_(std::move(description)) {}
  CVendorRecord(const CVendorRecord&) = default;
  CVendorRecord& operator=(const CVendorRecord&) = default;
  ~CVendorRecord() override;

  CVendorID vendorId() const override { return id_; }
  std::string description() const override { return description_; }

 private:
  CVendorID id_;
  std::string description_;
};

}  // namespace qvt
