// Run-time type names as people read them ("qvt::CExpEval").
#pragma once

#include <string>
#include <typeinfo>

namespace qvt {

// typeName: the demangled name of a run-time type.
std::string typeName(const std::type_info& type);

// typeNameOf: the demangled dynamic type of an object.
template <class T>
std::string typeNameOf(const T& object) {
  return typeName(typeid(object));
}

}  // namespace qvt
