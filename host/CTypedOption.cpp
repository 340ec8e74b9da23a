#include "host/CTypedOption.h"

#include <limits>
#include <type_traits>

#include "class_a/exp_eval/CExpression.h"
#include "class_a/standard/CEndpoint.h"
#include "class_a/standard/CHexStore.h"
#include "class_a/standard/CIPAddress.h"
#include "class_a/standard/CTimeT.h"
#include "class_a/standard/CVariant.h"
#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

const char* const kAddValue = "COption::addValue";

// maxOf: the largest value an integer element of the option's type holds.
template <class T>
std::uint64_t maxOf(const COptionType& type) {
  if (type.code() == COptionType::e24bit) return 0xffffffu;
  return std::numeric_limits<T>::max();
}

// hintOf: the variant type that reads an element of type T from text.
template <class T>
CVariantType hintOf() {
  if constexpr (std::is_same_v<T, bool>) {
    return CVariantType::kBoolean;
  } else if constexpr (std::is_integral_v<T>) {
    return CVariantType::kUInteger;
  } else if constexpr (std::is_same_v<T, CHexStore>) {
    return CVariantType::kHexStore;
  } else if constexpr (std::is_same_v<T, CIPAddress>) {
    return CVariantType::kIPAddress;
  } else if constexpr (std::is_same_v<T, CEndpoint>) {
    return CVariantType::kEndpoint;
  } else if constexpr (std::is_same_v<T, CTimeT>) {
    return CVariantType::kTime;
  } else {
    return CVariantType::kString;
  }
}

}  // namespace

template <class T>
CTypedOption<T>::~CTypedOption() = default;

template <class T>
COption::Ptr CTypedOption<T>::clone() const {
  Ptr copy(new CTypedOption(*this));
  copy.get()->setParent(nullptr);
  _cloneChildrenInto(*copy.get());
  return copy;
}

template <class T>
T CTypedOption<T>::_fromVariant(const CVariant& value) const {
  if constexpr (std::is_same_v<T, bool>) {
    return value.boolean();
  } else if constexpr (std::is_integral_v<T>) {
    const std::uint64_t number = value.uinteger();
    if (number > maxOf<T>(type())) {
      fail(CRaiser::of(*this), "host", kAddValue,
           {"Cannot set a value of option %1.", fullTagPath().string()},
           {"Value %1 is out of range for type %2.", number, type().string()});
    }
    return static_cast<T>(number);
  } else if constexpr (std::is_same_v<T, std::string>) {
    return value.string();
  } else if constexpr (std::is_same_v<T, CHexStore>) {
    return value.hexstore();
  } else if constexpr (std::is_same_v<T, CIPAddress>) {
    // Another type is read through its text, so that the text decides the
    // address family.
    if (value.isIPAddress()) return value.ipaddress(CVariantSubType::kGeneral, true);
    return CVariant(CVariantType::kIPAddress, value.string())
        .ipaddress(CVariantSubType::kGeneral, true);
  } else if constexpr (std::is_same_v<T, CEndpoint>) {
    return value.endpoint();
  } else if constexpr (std::is_same_v<T, CTimeT>) {
    return value.time();
  } else {
    static_assert(std::is_same_v<T, CExpression>, "unsupported element type");
    if (evaluator_ == nullptr) {
      fail(CRaiser::of(*this), "host", kAddValue,
           {"Cannot set a value of option %1.", fullTagPath().string()},
           "No evaluator is set for expression options.");
    }
    return CExpression(evaluator_, value.string());
  }
}

template <class T>
void CTypedOption<T>::addValue(const CVariant& value) {
  Elements::push_back(_fromVariant(value));
}

template <class T>
void CTypedOption<T>::setValue(std::size_t index, const CVariant& value) {
  if (index >= Elements::size()) _failIndex(index, "COption::setValue");
  Elements::operator[](index) = _fromVariant(value);
}

template <class T>
std::string CTypedOption<T>::elementText(std::size_t index) const {
  const T& element = Elements::operator[](index);
  if constexpr (std::is_same_v<T, bool>) {
    return CVariant(static_cast<bool>(element)).string();
  } else if constexpr (std::is_integral_v<T>) {
    return std::to_string(element);
  } else if constexpr (std::is_same_v<T, std::string>) {
    return element;
  } else if constexpr (std::is_same_v<T, CTimeT>) {
    return CVariant(element).string();
  } else if constexpr (std::is_same_v<T, CExpression>) {
    return element.text();
  } else {
    return element.string();
  }
}

template <class T>
std::string CTypedOption<T>::string() const {
  std::string text;
  for (std::size_t i = 0; i < Elements::size(); ++i) {
    if (i != 0) text += ", ";
    text += elementText(i);
  }
  return text;
}

template <class T>
void CTypedOption<T>::string(const std::string& text) {
  T element = _fromVariant(CVariant(hintOf<T>(), text));
  Elements::clear();
  Elements::push_back(std::move(element));
}

template class CTypedOption<std::uint8_t>;
template class CTypedOption<std::uint16_t>;
template class CTypedOption<std::uint32_t>;
template class CTypedOption<std::uint64_t>;
template class CTypedOption<CHexStore>;
template class CTypedOption<std::string>;
template class CTypedOption<CIPAddress>;
template class CTypedOption<CEndpoint>;
template class CTypedOption<CTimeT>;
template class CTypedOption<bool>;
template class CTypedOption<CExpression>;

}  // namespace qvt
