#include "integrations/kea/CHookSettings.h"

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "class_a/standard/Fail.h"
#include "host/COptionDictionary.h"
#include "host/ProgramPath.h"

namespace qvt::kea {

namespace {

using isc::data::ConstElementPtr;
using isc::data::Element;

[[noreturn]] void invalid(CMessage reason) {
  fail(CRaiser::none(), "kea-hook", "CHookSettings::parse",
       "Invalid parameters of the dhcp_eval hook.", std::move(reason));
}

const char* typeWord(Element::types type) {
  switch (type) {
    case Element::string:
      return "a string";
    case Element::integer:
      return "an integer";
    case Element::list:
      return "a list";
    default:
      return "a map";
  }
}

std::string stringOf(const std::string& name, const ConstElementPtr& value) {
  if (value->getType() != Element::string) {
    invalid({"Parameter '%1' must be %2.", name, typeWord(Element::string)});
  }
  if (value->stringValue().empty()) invalid({"Parameter '%1' must not be empty.", name});
  return value->stringValue();
}

// CEntryReader: the keys of one entry of a list parameter ("classes",
// "options"), each read once by its name.
class CEntryReader {
 public:
  CEntryReader(const std::string& list, std::size_t index, const ConstElementPtr& entry,
               const std::set<std::string>& keys)
      : list_(list), index_(index), entry_(entry) {
    if (entry->getType() != Element::map) invalid({"Entry %1 of '%2' must be a map.", index, list});
    for (const auto& [key, value] : entry->mapValue()) {
      if (keys.count(key) == 0) {
        invalid({"Entry %1 of '%2' has an unknown key '%3'.", index, list, key});
      }
    }
  }

  ConstElementPtr require(const std::string& key, Element::types type) const {
    const ConstElementPtr value = entry_->get(key);
    if (!value) invalid({"Entry %1 of '%2' has no '%3'.", index_, list_, key});
    if (value->getType() != type) {
      invalid({"Entry %1 of '%2': '%3' must be %4.", index_, list_, key, typeWord(type)});
    }
    return value;
  }

  std::string text(const std::string& key) const {
    const std::string value = require(key, Element::string)->stringValue();
    if (value.empty()) invalid({"Entry %1 of '%2' has an empty '%3'.", index_, list_, key});
    return value;
  }

 private:
  const std::string& list_;
  std::size_t index_;
  const ConstElementPtr& entry_;
};

// eachEntry: read(reader) for every entry of the list parameter name.
void eachEntry(const std::string& name, const ConstElementPtr& value,
               const std::set<std::string>& keys,
               const std::function<void(const CEntryReader&)>& read) {
  if (value->getType() != Element::list) {
    invalid({"Parameter '%1' must be %2.", name, typeWord(Element::list)});
  }
  std::size_t index = 0;
  for (const auto& entry : value->listValue())
    read(CEntryReader(name, ++index, entry, keys));
}

void readClasses(const ConstElementPtr& value, CHookSettings& settings) {
  std::set<std::string> names;
  eachEntry("classes", value, {"name", "expression"}, [&](const CEntryReader& entry) {
    CClassSetting setting{entry.text("name"), entry.text("expression")};
    if (!names.insert(setting.name).second) {
      invalid({"Class '%1' is defined twice.", setting.name});
    }
    settings.classes.push_back(std::move(setting));
  });
}

void readOptions(const ConstElementPtr& value, int family, CHookSettings& settings) {
  const std::int64_t highest = family == 4 ? 254 : 65535;
  std::set<std::int64_t> codes;
  eachEntry("options", value, {"code", "expression"}, [&](const CEntryReader& entry) {
    const std::int64_t code = entry.require("code", Element::integer)->intValue();
    if (code < 1 || code > highest) {
      invalid({"Option code %1 is out of range (%2 to %3).", code, 1, highest});
    }
    if (!codes.insert(code).second) invalid({"Option %1 is given twice.", code});
    settings.options.push_back(
        COptionSetting{static_cast<std::uint16_t>(code), entry.text("expression")});
  });
}

bool isDirectory(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

}  // namespace

CHookSettings CHookSettings::parse(const ConstElementPtr& parameters, int family) {
  CHookSettings settings;
  if (!parameters || parameters->getType() != Element::map) {
    invalid(parameters ? "The parameters must be a map." : "Parameter 'module' is required.");
  }
  const std::map<std::string, std::string*> texts = {
      {"module", &settings.module},
      {"system-bus-module", &settings.systemBusModule},
      {"dictionaries", &settings.dictionaries},
      {"vendor-file", &settings.vendorFile},
      {"key-value-database", &settings.keyValueDatabase},
      {"shared-server-key-file", &settings.sharedServerKeyFile},
      {"rules-file", &settings.rulesFile}};
  for (const auto& [name, value] : parameters->mapValue()) {
    if (const auto text = texts.find(name); text != texts.end()) {
      *text->second = stringOf(name, value);
    } else if (name == "server-ip") {
      settings.serverIp = stringOf(name, value);
    } else if (name == "db-timeout") {
      if (value->getType() != Element::integer) {
        invalid({"Parameter '%1' must be %2.", name, typeWord(Element::integer)});
      }
      if (value->intValue() < 1 || value->intValue() > kMaxDbTimeoutMs) {
        invalid({"'db-timeout' must be from 1 to %1.", kMaxDbTimeoutMs});
      }
      settings.dbTimeout = std::chrono::milliseconds(value->intValue());
    } else if (name == "classes") {
      readClasses(value, settings);
    } else if (name == "options") {
      readOptions(value, family, settings);
    } else {
      invalid({"Unknown parameter '%1'.", name});
    }
  }
  if (settings.module.empty()) invalid("Parameter 'module' is required.");
  return settings;
}

void CHookSettings::resolve() {
  const std::filesystem::path moduleDirectory = std::filesystem::path(module).parent_path();
  if (systemBusModule.empty()) systemBusModule = (moduleDirectory / "system_bus.so").string();
  if (dictionaries.empty()) {
    // The installed layout: LIBDIR/dhcp_eval/dhcp_eval.so and
    // DATADIR/dhcp_eval/dictionaries.
    const std::string installed =
        std::filesystem::path(host::dictionaryDirectoryBesideModule(moduleDirectory.string()))
            .lexically_normal()
            .string();
    dictionaries = isDirectory(installed) ? installed : COptionDictionary::defaultDirectory();
  }
  if (vendorFile.empty())
    vendorFile = (std::filesystem::path(dictionaries) / "vendors.defs").string();
}

}  // namespace qvt::kea
