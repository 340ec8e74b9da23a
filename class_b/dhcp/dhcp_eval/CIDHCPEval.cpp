#include "class_b/dhcp/dhcp_eval/CIDHCPEval.h"

namespace qvt {

CIDHCPEval::~CIDHCPEval() = default;

}  // namespace qvt
