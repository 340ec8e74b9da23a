// CVendorID: names a vendor; its first element is the vendor's enterprise
// number (4491 for CableLabs). Elements are signed 32-bit, so -1 is written
// as 0xffffffff.
#pragma once

#include <cstdint>

#include "class_b/dhcp/dhcp_base/CNumericPath.h"

namespace qvt {

class CVendorID : public CNumericPath<std::int32_t> {
 public:
  using CNumericPath<std::int32_t>::CNumericPath;
  // CVendorID: the single element 0 (no vendor).
  CVendorID() : CNumericPath<std::int32_t>(0) {}
  CVendorID(const CNumericPath<std::int32_t>& path) : CNumericPath<std::int32_t>(path) {}
  ~CVendorID() override;
};

}  // namespace qvt
