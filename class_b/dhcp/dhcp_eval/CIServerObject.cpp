#include "class_b/dhcp/dhcp_eval/CIServerObject.h"

CIServerObject::~CIServerObject() = default;
