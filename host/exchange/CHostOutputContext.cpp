#include "host/exchange/CHostOutputContext.h"

#include <utility>

namespace qvt::host {

CHostOutputContext::CHostOutputContext(CGeneralPtr<COption> message)
    : message_(std::move(message)) {}

CHostOutputContext::~CHostOutputContext() = default;

}  // namespace qvt::host
