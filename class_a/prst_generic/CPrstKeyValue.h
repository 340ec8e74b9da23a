// CPrstKeyValue: a key-value record: a value stored under a class, a subclass
// and a key, with an enabled flag. $DB.KEYVALUE and $DB.KEYVALUE.EXISTS read
// these records from the host's database (table "qvt_keyvalues", primary key
// KCLASS, SUBCLASS, KKEY).
//
// Its text form is key=value lines (CStringMap):
//
//   CPrstKeyValue record;
//   record._set("class=pool\nsubclass=cm\nkey=00-11-22-33-44-55\nvalue=10.1.0.0");
//   record.enabled();   // true (the default)
//   record.string();    // "class=pool\ndomains=\nenabled=true\nkey=...\n..."
#pragma once

#include <cstdint>
#include <string>

#include "class_a/standard/CObject.h"
#include "class_a/standard/CTimeT.h"

namespace qvt {

class CPrstKeyValue : public CObject {
 public:
  // Column names of the record's fields in table "qvt_keyvalues".
  static constexpr const char* kTable = "qvt_keyvalues";
  static constexpr const char* kClassColumn = "KCLASS";
  static constexpr const char* kSubclassColumn = "SUBCLASS";
  static constexpr const char* kKeyColumn = "KKEY";
  static constexpr const char* kValueColumn = "KVALUE";
  static constexpr const char* kEnabledColumn = "ENABLED";
  static constexpr const char* kModTimeColumn = "MOD_TIME";
  static constexpr const char* kOidColumn = "OID";

  CPrstKeyValue() = default;
  CPrstKeyValue(std::string kclass, std::string subclass, std::string key, std::string value,
                bool enabled = true);
  CPrstKeyValue(const CPrstKeyValue&) = default;
  CPrstKeyValue& operator=(const CPrstKeyValue&) = default;
  CPrstKeyValue(CPrstKeyValue&&) noexcept = default;
  CPrstKeyValue& operator=(CPrstKeyValue&&) noexcept = default;
  ~CPrstKeyValue() override;

  // _set: assigns the record from its text form. "oid", "domains" and
  // "mod_time" are read when present; "class", "key" and "value" are
  // required, "subclass" defaults to empty and "enabled" to true (only
  // "true", "TRUE" and "True" read as true). Raises "Failed to set a
  // key_value record from text." (module "prst_generic", operation
  // "CPrstKeyValue::_set") with the reason "Missing 'class' key.", "Missing
  // key 'key'." or "Missing 'value' key."; the checks run in that order and
  // fields set before a failing check keep their new values. Also raises the
  // number and time errors of "oid" and "mod_time".
  void _set(const std::string& text);

  // (CObject) string(text): _set; string(): the text form with the keys
  // "class", "subclass", "key", "value", "enabled", "mod_time", "domains"
  // and "oid".
  void string(const std::string& text) override { _set(text); }
  std::string string() const override;

  const std::string& kclass() const { return class_; }
  void setClass(std::string kclass) { class_ = std::move(kclass); }
  const std::string& subclass() const { return subclass_; }
  void setSubclass(std::string subclass) { subclass_ = std::move(subclass); }
  const std::string& key() const { return key_; }
  void setKey(std::string key) { key_ = std::move(key); }
  const std::string& value() const { return value_; }
  void setValue(std::string value) { value_ = std::move(value); }
  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }
  // modTime: when the record was last written (set by the store).
  const CTimeT& modTime() const { return modTime_; }
  void setModTime(const CTimeT& time) { modTime_ = time; }
  // oid: the store's object id; 0 before the record is stored.
  std::int64_t oid() const { return oid_; }
  void setOid(std::int64_t oid) { oid_ = oid; }
  // domains: the security-domain memberships as text (kept, not
  // interpreted: these stores have no security model).
  const std::string& domains() const { return domains_; }
  void setDomains(std::string domains) { domains_ = std::move(domains); }

  // sameKey: whether other has the same class, subclass and key.
  bool sameKey(const CPrstKeyValue& other) const {
    return class_ == other.class_ && subclass_ == other.subclass_ && key_ == other.key_;
  }

 private:
  std::string class_;
  std::string subclass_;
  std::string key_;
  std::string value_;
  bool enabled_ = true;
  CTimeT modTime_;
  std::int64_t oid_ = 0;
  std::string domains_;
};

}  // namespace qvt
