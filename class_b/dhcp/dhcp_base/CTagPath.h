// CTagPath: names an option by its tags, outermost first ("43/1" is
// sub-option 1 of option 43). Elements are unsigned 32-bit; the fixed BOOTP
// header fields use codes that read negative as signed numbers (0xffffffe2).
#pragma once

#include <cstdint>

#include "class_b/dhcp/dhcp_base/CNumericPath.h"

namespace qvt {

class CTagPath : public CNumericPath<std::uint32_t> {
 public:
  using CNumericPath<std::uint32_t>::CNumericPath;
  // CTagPath: an empty path.
  CTagPath() = default;
  CTagPath(const CNumericPath<std::uint32_t>& path) : CNumericPath<std::uint32_t>(path) {}
  ~CTagPath() override;
};

}  // namespace qvt
