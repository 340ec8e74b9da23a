// errorText under the name some host tests include; the helpers themselves
// live in TestSupport.h.
#pragma once

#include "TestSupport.h"

namespace qvt {

using qvt_test::errorText;

}  // namespace qvt
