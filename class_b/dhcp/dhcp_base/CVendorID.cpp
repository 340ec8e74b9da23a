#include "class_b/dhcp/dhcp_base/CVendorID.h"

namespace qvt {

CVendorID::~CVendorID() = default;

}  // namespace qvt
