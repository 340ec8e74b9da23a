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

// make: the option for definition, which is either a COptionAttributes (the
// option keeps a copy) or a shared definition; type is its option type.
template <class Definition>
CGeneralPtr<COption> make(const Definition& definition, const COptionType& type, COption* parent,
                          std::uint64_t context, CExpEval* evaluator) {
  const auto typed = [&](auto* option) { return CGeneralPtr<COption>(option); };
  switch (type.code()) {
    case COptionType::e8bit:
      return typed(new CTypedOption<std::uint8_t>(definition, parent, context));
    case COptionType::e16bit:
      return typed(new CTypedOption<std::uint16_t>(definition, parent, context));
    case COptionType::e24bit:
    case COptionType::e32bit:
      return typed(new CTypedOption<std::uint32_t>(definition, parent, context));
    case COptionType::e64bit:
      return typed(new CTypedOption<std::uint64_t>(definition, parent, context));
    case COptionType::e128bit:
    case COptionType::eByteSequence:
    case COptionType::eSNMPOID:
      return typed(new CTypedOption<CHexStore>(definition, parent, context));
    case COptionType::eString:
    case COptionType::eDNSName:
      return typed(new CTypedOption<std::string>(definition, parent, context));
    case COptionType::eIPAddress:
      return typed(new CTypedOption<CIPAddress>(definition, parent, context));
    case COptionType::eIPEndpoint:
      return typed(new CTypedOption<CEndpoint>(definition, parent, context));
    case COptionType::eTime:
      return typed(new CTypedOption<CTimeT>(definition, parent, context));
    case COptionType::eBoolean:
      return typed(new CTypedOption<bool>(definition, parent, context));
    case COptionType::eExpression: {
      auto* option = new CTypedOption<CExpression>(definition, parent, context);
      CGeneralPtr<COption> holder(option);
      option->setEvaluator(evaluator);
      return holder;
    }
    default:
      return CGeneralPtr<COption>(new CHostOptionContainer(definition, parent, context));
  }
}

}  // namespace

CGeneralPtr<COption> makeOption(const COptionAttributes& attributes, COption* parent,
                                std::uint64_t context, CExpEval* evaluator) {
  return make(attributes, attributes.type(), parent, context, evaluator);
}

CGeneralPtr<COption> makeOption(COption::CSharedDefinition shared, COption* parent,
                                std::uint64_t context, CExpEval* evaluator) {
  return make(shared, shared.definition->type(), parent, context, evaluator);
}

CGeneralPtr<COption> makeMessageRoot(std::uint32_t family, std::uint64_t context) {
  // The two root definitions are made once and shared by every root.
  static const auto rootDefinition = [](const char* name) {
    COptionAttributes attributes;
    attributes.setTagPath(CTagPath(0u));
    attributes.setType(COptionType(COptionType::eTopencoded));
    attributes.setName(name);
    return attributes;
  };
  static const COptionAttributes dhcp4 = rootDefinition("dhcp4-message");
  static const COptionAttributes dhcp6 = rootDefinition("dhcp6-message");
  const COptionAttributes& definition = family == 4 ? dhcp4 : dhcp6;
  return CGeneralPtr<COption>(
      new CHostOptionContainer(COption::CSharedDefinition{&definition}, nullptr, context, true));
}

}  // namespace qvt
