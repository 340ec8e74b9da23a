#include "class_b/dhcp/dhcp_base/CTagPath.h"

namespace qvt {

CTagPath::~CTagPath() = default;

}  // namespace qvt
