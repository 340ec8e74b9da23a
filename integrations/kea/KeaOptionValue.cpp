#include "integrations/kea/KeaOptionValue.h"

#include <dhcp/libdhcp++.h>
#include <dhcp/option_definition.h>
#include <dhcp/option_space.h>

#include <exception>
#include <string>
#include <vector>

#include "class_a/standard/Fail.h"

namespace qvt::kea {

namespace {

using isc::dhcp::LibDHCP;
using isc::dhcp::Option;
using isc::dhcp::OptionBuffer;
using isc::dhcp::OptionDefinitionPtr;

OptionDefinitionPtr definitionOf(Option::Universe universe, std::uint16_t code) {
  const std::string space = universe == Option::V4 ? DHCP4_OPTION_SPACE : DHCP6_OPTION_SPACE;
  OptionDefinitionPtr definition = LibDHCP::getOptionDef(space, code);
  if (!definition) definition = LibDHCP::getRuntimeOptionDef(space, code);
  return definition;
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// csvValues: text as the values of a definition ("csv-format" data).
std::vector<std::string> csvValues(const std::string& text, bool split) {
  if (!split) return {text};
  std::vector<std::string> values;
  std::size_t start = 0;
  for (std::size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
    values.push_back(trimmed(text.substr(start, comma - start)));
  values.push_back(trimmed(text.substr(start)));
  return values;
}

OptionBuffer bytesOf(const CVariant& value) {
  const auto* data = static_cast<const std::uint8_t*>(value.raw_data());
  return data == nullptr ? OptionBuffer() : OptionBuffer(data, data + value.raw_len());
}

}  // namespace

isc::dhcp::OptionPtr keaOption(Option::Universe universe, std::uint16_t code,
                               const CVariant& value) {
  if (!value.isKnown()) {
    fail(CRaiser::none(), "kea-hook", "keaOption",
         {"Cannot set option %1 from the value '%2'.", code, std::string()},
         "The value is unknown.");
  }
  const std::string text = value.string();
  isc::dhcp::OptionPtr option;
  try {
    const OptionDefinitionPtr definition = definitionOf(universe, code);
    if (value.isHexStore() || !definition) {
      const OptionBuffer data =
          value.isHexStore() ? bytesOf(value) : OptionBuffer(text.begin(), text.end());
      option = definition ? definition->optionFactory(universe, code, data)
                          : isc::dhcp::OptionPtr(new Option(universe, code, data));
    } else {
      const bool split =
          definition->getArrayType() || definition->getType() == isc::dhcp::OPT_RECORD_TYPE;
      option = definition->optionFactory(universe, code, csvValues(text, split));
    }
  } catch (const std::exception& e) {
    fail(CRaiser::none(), "kea-hook", "keaOption",
         {"Cannot set option %1 from the value '%2'.", code, text}, e.what());
  }
  // Kea 2.2 does not split a long DHCPv4 option when it packs the response,
  // and a response it cannot pack is dropped.
  const std::size_t header = universe == Option::V4 ? 2 : 4;
  const std::size_t limit = universe == Option::V4 ? 255 : 65535;
  if (option->len() - header > limit) {
    fail(CRaiser::none(), "kea-hook", "keaOption",
         {"Cannot set option %1 from the value '%2'.", code, text},
         {"The option's data are longer than %1 bytes.", limit});
  }
  return option;
}

}  // namespace qvt::kea
