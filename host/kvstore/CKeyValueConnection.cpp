#include "host/kvstore/CKeyValueConnection.h"

namespace qvt::host {

CKeyValueConnection::~CKeyValueConnection() = default;

}  // namespace qvt::host
