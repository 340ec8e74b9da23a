#include "host/CHostOptionFactory.h"

#include <string>

#include "class_a/exp_eval/CExpression.h"
#include "class_a/standard/CEndpoint.h"
#include "class_a/standard/CHexStore.h"
#include "class_a/standard/CIPAddress.h"
#include "class_a/standard/CTimeT.h"
#include "host/CHostOptionContainer.h"
#include "host/CTypedOption.h"

namespace qvt {

namespace {

template <class T>
CGeneralPtr<COption> typed(const COptionAttributes& attributes, COption* parent,
                           std::uint64_t context) {
  return CGeneralPtr<COption>(new CTypedOption<T>(attributes, parent, context));
}

}  // namespace

CGeneralPtr<COption> makeOption(const COptionAttributes& attributes, COption* parent,
                                std::uint64_t context, CExpEval* evaluator) {
  switch (attributes.type().code()) {
    case COptionType::e8bit:
      return typed<std::uint8_t>(attributes, parent, context);
    case COptionType::e16bit:
      return typed<std::uint16_t>(attributes, parent, context);
    case COptionType::e24bit:
    case COptionType::e32bit:
      return typed<std::uint32_t>(attributes, parent, context);
    case COptionType::e64bit:
      return typed<std::uint64_t>(attributes, parent, context);
    case COptionType::e128bit:
    case COptionType::eByteSequence:
    case COptionType::eSNMPOID:
      return typed<CHexStore>(attributes, parent, context);
    case COptionType::eString:
    case COptionType::eDNSName:
      return typed<std::string>(attributes, parent, context);
    case COptionType::eIPAddress:
      return typed<CIPAddress>(attributes, parent, context);
    case COptionType::eIPEndpoint:
      return typed<CEndpoint>(attributes, parent, context);
    case COptionType::eTime:
      return typed<CTimeT>(attributes, parent, context);
    case COptionType::eBoolean:
      return typed<bool>(attributes, parent, context);
    case COptionType::eExpression: {
      auto* option = new CTypedOption<CExpression>(attributes, parent, context);
      CGeneralPtr<COption> holder(option);
      option->setEvaluator(evaluator);
      return holder;
    }
    default:
      return CGeneralPtr<COption>(new CHostOptionContainer(attributes, parent, context));
  }
}

CGeneralPtr<COption> makeMessageRoot(std::uint32_t family, std::uint64_t context) {
  COptionAttributes attributes;
  attributes.setTagPath(CTagPath(0u));
  attributes.setType(COptionType(COptionType::eTopencoded));
  attributes.setName(family == 4 ? "dhcp4-message" : "dhcp6-message");
  return CGeneralPtr<COption>(new CHostOptionContainer(attributes, nullptr, context, true));
}

}  // namespace qvt
