// Variant helpers of the tests. describe: a variant as "type/subtype:value",
// read through the getter of the variant's own type only, so that nothing is
// converted on the way.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "class_a/standard/CVariant.h"

namespace qvt_test {

inline std::string describe(const qvt::CVariant& v) {
  using T = qvt::CVariantType;
  std::string value;
  switch (v.type()) {
    case T::kIPAddress: {
      const qvt::CIPAddress address = v.ipaddress(qvt::CVariantSubType::kGeneral, true);
      value = address.addressType() == qvt::CIPAddress::kNone ? "none" : address.string();
      break;
    }
    case T::kBoolean:
      value = v.boolean() ? "true" : "false";
      break;
    case T::kTime:
      value = std::to_string(v.time().seconds());
      break;
    case T::kString:
      value = v.string();
      break;
    case T::kHexStore:
      value = v.hexstore().string();
      break;
    case T::kInteger:
      value = std::to_string(v.integer());
      break;
    case T::kEndpoint:
      value = v.endpoint().string();
      break;
    case T::kUInteger:
      value = std::to_string(v.uinteger());
      break;
    default:
      break;
  }
  return std::string(v.type().name()) + "/" + v.subtype().name() + ":" + value;
}

// typeNamed, subtypeNamed: the type or subtype whose name() is name.
inline qvt::CVariantType typeNamed(const std::string& name) {
  for (std::uint32_t code = 0; code < qvt::CVariantType::kCount; ++code) {
    if (name == qvt::CVariantType(code).name()) return qvt::CVariantType(code);
  }
  throw std::invalid_argument("no type named " + name);
}

inline qvt::CVariantSubType subtypeNamed(const std::string& name) {
  for (std::uint32_t code = 0; code < 16; ++code) {
    if (name == qvt::CVariantSubType(code).name()) return qvt::CVariantSubType(code);
  }
  throw std::invalid_argument("no subtype named " + name);
}

}  // namespace qvt_test
