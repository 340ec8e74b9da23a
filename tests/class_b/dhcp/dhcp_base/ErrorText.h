// errorText: runs f and gives the text of the CException it raises
// ("description (reason)"), or "no error".
#pragma once

#include <string>

#include "class_a/standard/CException.h"

namespace qvt {

template <class F>
std::string errorText(F&& f) {
  try {
    f();
  } catch (const CException& e) {
    return e.text();
  }
  return "no error";
}

}  // namespace qvt
