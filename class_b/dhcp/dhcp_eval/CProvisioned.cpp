#include "class_b/dhcp/dhcp_eval/CProvisioned.h"

CProvisioned::~CProvisioned() = default;
