#include "class_b/dhcp/dhcp_eval/CIDHCPProvisioner.h"

CIDHCPProvisioner::~CIDHCPProvisioner() = default;
