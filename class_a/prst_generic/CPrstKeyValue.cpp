#include "class_a/prst_generic/CPrstKeyValue.h"

#include <utility>

#include "class_a/standard/CNumberConversion.h"
#include "class_a/standard/CStringMap.h"
#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

constexpr const char* kSetOperation = "CPrstKeyValue::_set";
constexpr const char* kSetFailed = "Failed to set a key_value record from text.";

}  // namespace

CPrstKeyValue::CPrstKeyValue(std::string kclass, std::string subclass, std::string key,
                             std::string value, bool enabled)
    : class_(std::move(kclass)),
      subclass_(std::move(subclass)),
      key_(std::move(key)),
      value_(std::move(value)),
      enabled_(enabled) {}

CPrstKeyValue::~CPrstKeyValue() = default;

void CPrstKeyValue::_set(const std::string& text) {
  const CStringMap map(text);
  const auto raise = [this](CMessage reason) {
    fail(CRaiser::of(*this), "prst_generic", kSetOperation, kSetFailed, std::move(reason));
  };

  if (const std::string* oid = map.find("oid")) oid_ = CNumberConversion::toInt64(*oid);
  // Without a security model the memberships are kept as text; "domains+"
  // and "domains-" have nothing to act on and are ignored.
  const std::string* domains = map.find("domains");
  domains_ = domains ? *domains : std::string();

  const std::string* kclass = map.find("class");
  if (!kclass) raise("Missing 'class' key.");
  class_ = *kclass;
  const std::string* subclass = map.find("subclass");
  subclass_ = subclass ? *subclass : std::string();

  const std::string* key = map.find("key");
  if (!key) raise("Missing key 'key'.");
  key_ = *key;

  const std::string* value = map.find("value");
  if (!value) raise("Missing 'value' key.");
  value_ = *value;

  enabled_ = map.getBool("enabled", true);

  if (const std::string* modTime = map.find("mod_time")) {
    CTimeT time;
    if (!time.readUTC(*modTime)) raise({"Invalid time '%1' in key 'mod_time'.", *modTime});
    modTime_ = time;
  }
}

std::string CPrstKeyValue::string() const {
  CStringMap map;
  map.set("class", class_);
  map.set("subclass", subclass_);
  map.set("key", key_);
  map.set("value", value_);
  map.setBool("enabled", enabled_);
  map.set("mod_time", modTime_.dateUTC());
  map.set("domains", domains_);
  map.set("oid", CNumberConversion::toString(oid_));
  return map.text();
}

}  // namespace qvt
