#include "class_a/standard/CVariantType.h"

#include "class_a/standard/Fail.h"

namespace qvt {

const char* CVariantType::name(Code code) noexcept {
  static constexpr const char* kNames[kCount] = {"unknown", "ip address",  "boolean",
                                                 "time",    "string",      "byte sequence",
                                                 "integer", "ip endpoint", "uinteger"};
  return code < kCount ? kNames[code] : "";
}

CVariantType::Code CVariantType::_checkValidity(std::uint32_t value) {
  if (value >= kCount) {
    fail(CRaiser::none(), "standard", "CVariantType::_checkValidity",
         {"Cannot set variant data type from value %1.", value}, "Illegal value.");
  }
  return static_cast<Code>(value);
}

}  // namespace qvt
