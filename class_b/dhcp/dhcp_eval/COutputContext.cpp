#include "class_b/dhcp/dhcp_eval/COutputContext.h"

COutputContext::~COutputContext() = default;
