#include "host/exchange/CHostServer.h"

#include "host/CVendorFile.h"

namespace qvt::host {

CHostServer::CHostServer(const CVendorFile& vendors) : vendors_(vendors.makeLookup()) {}

CHostServer::~CHostServer() = default;

}  // namespace qvt::host
