#include "class_b/dhcp/dhcp_base/CVendorAttributes.h"

namespace qvt {

CVendorAttributes::~CVendorAttributes() = default;

}  // namespace qvt
