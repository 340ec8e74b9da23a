#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"

#include "class_a/exp_eval/CExpression.h"
#include "class_a/exp_eval/CMultiVariant.h"
#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

constexpr const char* kModule = "dhcp_base";

// elementVariant: element index of option as a variant, for the types whose
// elements convert without failing; false for the others ("expression" and
// the types that refuse).
bool elementVariant(const COption& option, std::uint32_t index, CVariant& value) {
  switch (option.typeCode()) {
    case COptionType::e8bit:
      value.setInteger(option.storage<std::uint8_t>()[index]);
      return true;
    case COptionType::e16bit:
      value.setInteger(option.storage<std::uint16_t>()[index]);
      return true;
    case COptionType::e24bit:
    case COptionType::e32bit:
      value.setInteger(option.storage<std::uint32_t>()[index]);
      return true;
    case COptionType::e64bit:
      value.setInteger(static_cast<std::int64_t>(option.storage<std::uint64_t>()[index]));
      return true;
    case COptionType::e128bit:
    case COptionType::eByteSequence:
      value.setHexStore(option.storage<CHexStore>()[index]);
      return true;
    case COptionType::eString:
    case COptionType::eDNSName:
      value.setString(option.storage<std::string>()[index]);
      return true;
    case COptionType::eIPAddress:
      value = CVariant(option.storage<CIPAddress>()[index]);
      return true;
    case COptionType::eIPEndpoint:
      value = CVariant(option.storage<CEndpoint>()[index]);
      return true;
    case COptionType::eTime:
      value = CVariant(option.storage<CTimeT>()[index]);
      return true;
    case COptionType::eBoolean:
      value = CVariant(static_cast<bool>(option.storage<bool>()[index]));
      return true;
    case COptionType::eSNMPOID:
      value = CVariant::fromString(option.storage<CHexStore>()[index].string());
      return true;
    default:
      return false;
  }
}

}  // namespace

bool CValueTypeConverter::variantOf(const COption& option, std::uint32_t index, CVariant& value) {
  if (static_cast<std::uint64_t>(index) + 1 > option.count()) return false;
  return elementVariant(option, index, value);
}

CValueTypeConverter::~CValueTypeConverter() = default;

void CValueTypeConverter::_throwSize(std::uint32_t index) const {
  const COption& option = *option_;
  if (static_cast<std::uint64_t>(index) + 1 > option.count()) {
    fail(CRaiser::of(*this), kModule, "CValueTypeConverter::_throwSize",
         {"Cannot access element %1 in option %2.", index, option.fullTagPath().string()},
         "Index out of range.");
  }
}

CVariant CValueTypeConverter::_asVariant(std::uint32_t index) const {
  COption& option = *option_;
  CVariant value;
  if (elementVariant(option, index, value)) return value;
  const char* refused = nullptr;
  switch (option.typeCode()) {
    case COptionType::eExpression: {
      const CMultiVariant& results = *option.storage<CExpression>()[index];
      if (results.empty()) {
        fail(CRaiser::of(*this), kModule, "CValueTypeConverter::_asVariant",
             {"Cannot convert the expression of option %1 to a variant.",
              option.fullTagPath().string()},
             "The expression yields no value.");
      }
      return results.current();
    }
    case COptionType::eSubencoded:
      refused = "Cannot convert a subencoded option to a variant.";
      break;
    case COptionType::eTopencoded:
      refused = "Cannot convert a topencoded option to a variant.";
      break;
    case COptionType::eControl:
      refused = "Cannot convert protocol control data type to a variant.";
      break;
    case COptionType::eFixedOffset:
      refused = "Cannot convert a fixed_offset option to a variant.";
      break;
    default:
      refused = "Cannot convert unknown data type to a variant.";
      break;
  }
  fail(CRaiser::of(*this), kModule, "CValueTypeConverter::_asVariant", refused,
       "Invalid conversion.");
}

CVariant CValueTypeConverter::variant(std::uint32_t index) const {
  _throwSize(index);
  return _asVariant(index);
}

std::uint8_t CValueTypeConverter::toUInt8(std::uint32_t index) const {
  _throwSize(index);
  if (option_->typeCode() == COptionType::e8bit) return option_->storage<std::uint8_t>()[index];
  return static_cast<std::uint8_t>(_asVariant(index).uinteger());
}

std::uint16_t CValueTypeConverter::toUInt16(std::uint32_t index) const {
  _throwSize(index);
  if (option_->typeCode() == COptionType::e16bit) {
    return option_->storage<std::uint16_t>()[index];
  }
  return static_cast<std::uint16_t>(_asVariant(index).uinteger());
}

std::uint32_t CValueTypeConverter::toUInt32(std::uint32_t index) const {
  _throwSize(index);
  const std::uint32_t code = option_->typeCode();
  if (code == COptionType::e32bit || code == COptionType::e24bit) {
    return option_->storage<std::uint32_t>()[index];
  }
  return static_cast<std::uint32_t>(_asVariant(index).uinteger());
}

std::uint64_t CValueTypeConverter::toUInt64(std::uint32_t index) const {
  _throwSize(index);
  if (option_->typeCode() == COptionType::e64bit) {
    return option_->storage<std::uint64_t>()[index];
  }
  return _asVariant(index).uinteger();
}

std::string CValueTypeConverter::toString(std::uint32_t index) const {
  _throwSize(index);
  if (option_->typeCode() == COptionType::eString) {
    return option_->storage<std::string>()[index];
  }
  return _asVariant(index).string();
}

CIPAddress CValueTypeConverter::toIPAddress(std::uint32_t index, CVariantSubType family) const {
  _throwSize(index);
  if (option_->typeCode() == COptionType::eIPAddress) {
    return option_->storage<CIPAddress>()[index];
  }
  return _asVariant(index).ipaddress(family, true);
}

CEndpoint CValueTypeConverter::toEndpoint(std::uint32_t index) const {
  _throwSize(index);
  if (option_->typeCode() == COptionType::eIPEndpoint) {
    return option_->storage<CEndpoint>()[index];
  }
  return _asVariant(index).endpoint();
}

CTimeT CValueTypeConverter::toTime(std::uint32_t index) const {
  _throwSize(index);
  if (option_->typeCode() == COptionType::eTime) return option_->storage<CTimeT>()[index];
  return _asVariant(index).time();
}

CHexStore CValueTypeConverter::toHexStore(std::uint32_t index) const {
  _throwSize(index);
  if (option_->typeCode() == COptionType::eByteSequence) {
    return option_->storage<CHexStore>()[index];
  }
  return _asVariant(index).hexstore();
}

bool CValueTypeConverter::toBoolean(std::uint32_t index) const {
  _throwSize(index);
  if (option_->typeCode() == COptionType::eBoolean) return option_->storage<bool>()[index];
  return _asVariant(index).boolean();
}

}  // namespace qvt
