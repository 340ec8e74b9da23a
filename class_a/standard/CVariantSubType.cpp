#include "class_a/standard/CVariantSubType.h"

#include "class_a/standard/CIPAddress.h"
#include "class_a/standard/Fail.h"

namespace qvt {

std::string CVariantSubType::name() const {
  switch (value_) {
    case kGeneral:
      return "general";
    case kFunctionName:
      return "function name";
    case kReservedWord:
      return "reserved word";
    case kIPv4:
      return "ipv4";
    case kIPv6:
      return "ipv6";
    default:
      return std::to_string(value_);
  }
}

std::uint32_t CVariantSubType::addressType(CVariantSubType subtype) {
  if (subtype.value_ == kIPv4) return CIPAddress::kIPv4;
  if (subtype.value_ == kIPv6) return CIPAddress::kIPv6;
  fail(CRaiser::none(), "standard", "CVariantSubType::addressType",
       "Cannot determine ip address type from variant subtype.",
       "Variant subtype does not map to an ip address type.");
}

CVariantSubType CVariantSubType::type(std::uint32_t addressType) {
  if (addressType == CIPAddress::kIPv4) return kIPv4;
  if (addressType == CIPAddress::kIPv6) return kIPv6;
  fail(CRaiser::none(), "standard", "CVariantSubType::type",
       "Cannot determine variant subtype from ip address type.", "Unknown ip address type.");
}

}  // namespace qvt
