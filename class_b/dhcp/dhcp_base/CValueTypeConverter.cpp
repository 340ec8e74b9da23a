#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"

#include "class_a/exp_eval/CExpression.h"
#include "class_a/exp_eval/CMultiVariant.h"
#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

constexpr const char* kModule = "dhcp_base";

template <class T>
CVariant integerVariant(const COption& option, std::uint32_t index) {
  return CVariant(static_cast<std::int64_t>(option.storage<T>()[index]));
}

}  // namespace

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
  const char* refused = nullptr;
  switch (option.typeCode()) {
    case COptionType::e8bit:
      return integerVariant<std::uint8_t>(option, index);
    case COptionType::e16bit:
      return integerVariant<std::uint16_t>(option, index);
    case COptionType::e24bit:
    case COptionType::e32bit:
      return integerVariant<std::uint32_t>(option, index);
    case COptionType::e64bit:
      return integerVariant<std::uint64_t>(option, index);
    case COptionType::e128bit:
    case COptionType::eByteSequence:
      return CVariant(option.storage<CHexStore>()[index]);
    case COptionType::eString:
    case COptionType::eDNSName:
      return CVariant::fromString(option.storage<std::string>()[index]);
    case COptionType::eIPAddress:
      return CVariant(option.storage<CIPAddress>()[index]);
    case COptionType::eIPEndpoint:
      return CVariant(option.storage<CEndpoint>()[index]);
    case COptionType::eTime:
      return CVariant(option.storage<CTimeT>()[index]);
    case COptionType::eBoolean:
      return CVariant(static_cast<bool>(option.storage<bool>()[index]));
    case COptionType::eSNMPOID:
      return CVariant::fromString(option.storage<CHexStore>()[index].string());
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
