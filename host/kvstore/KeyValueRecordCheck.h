// unstorableReason: why a record cannot be written to a store, or empty
// text when it can.
//
// A stored record must be readable back through its text form: class, key
// and value are not empty (as a record whose text failed
// CPrstKeyValue::_set may be), and no field holds a line break or a NUL
// character or begins or ends with a blank (the text form would change it):
//
//   unstorableReason(CPrstKeyValue("pool", "", "", "v"));  // "The record's key is empty."
#pragma once

#include <string>

#include "class_a/prst_generic/CPrstKeyValue.h"

namespace qvt::host {

std::string unstorableReason(const CPrstKeyValue& record);

// recordName: "class 'c', subclass 's', key 'k'", naming a record in
// messages.
std::string recordName(const CPrstKeyValue& record);

}  // namespace qvt::host
