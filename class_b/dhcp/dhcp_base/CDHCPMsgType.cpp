#include "class_b/dhcp/dhcp_base/CDHCPMsgType.h"

namespace qvt {

CDHCPMsgType::~CDHCPMsgType() = default;

}  // namespace qvt
