// keaOption: an expression's value as an option of Kea's response, in the
// option's wire form.
//
// The form comes from Kea's own definition of the option code: the
// standard definitions of the "dhcp4" or "dhcp6" space, else the
// definitions the server's configuration adds ("option-def"). Kea packs the
// response with the same definitions, so what the operator configured is
// what goes on the wire:
//   - a byte sequence is the option's data as it stands, read (and checked)
//     by the definition;
//   - any other value is written as its text form, the way "option-data"
//     writes "data" with "csv-format": an ip address as "192.0.2.1", a
//     number in decimal, a boolean as "true" or "false"; for an array or
//     record definition the text is split at commas ("192.0.2.1,
//     192.0.2.2").
// A code without definition takes the bytes of a byte sequence, or of the
// value's text form, as its data (as Kea's flex-option does):
//
//   OptionPtr option = keaOption(Option::V4, 6, CVariant(CIPAddress("192.0.2.53")));
#pragma once

#include <cstdint>

#include <dhcp/option.h>

#include "class_a/standard/CVariant.h"

namespace qvt::kea {

// keaOption: the option code of universe holding value (which must be
// known). Raises (module "kea-hook", operation "keaOption") "Cannot set
// option %1 from the value '%2'." with Kea's error text as the reason when
// the definition refuses the value, and with "The value is unknown." for an
// unknown value.
isc::dhcp::OptionPtr keaOption(isc::dhcp::Option::Universe universe, std::uint16_t code,
                               const CVariant& value);

}  // namespace qvt::kea
