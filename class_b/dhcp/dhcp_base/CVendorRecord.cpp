#include "class_b/dhcp/dhcp_base/CVendorRecord.h"

namespace qvt {

CVendorRecord::~CVendorRecord() = default;

}  // namespace qvt
