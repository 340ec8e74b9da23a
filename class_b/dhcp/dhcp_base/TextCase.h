// Letter-case helpers for the names of the DHCP data model.
//
// Names such as "IPAddr" or "Bootp-Reply" are matched ignoring the case of
// ASCII letters only, so the result does not depend on the process's locale.
#pragma once

#include <cstddef>
#include <string_view>

namespace qvt {

// equalsIgnoringCase: true when a and b differ at most in the case of ASCII
// letters.
inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace qvt
