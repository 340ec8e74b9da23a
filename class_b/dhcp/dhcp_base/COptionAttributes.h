// COptionAttributes: one option definition: where the option lives (tag
// path), its name and data type, how users may set it, its vendor and the
// encoding of its elements.
//
// A definition travels as key=value lines; the element attributes' keys
// share the same record:
//
//   COptionAttributes a;
//   a.string("tagpath=43/1\ntype=string\nname=vendor-name\nnull_terminated=true");
//   a.type().string();  // "string"
//   a.userDefinable().string();  // "allowed" (the default of the text form)
//
// Default construction allocates nothing, so options can hold a definition by
// value.
#pragma once

#include <cstdint>
#include <string>

#include "class_b/dhcp/dhcp_base/CElementAttributes.h"
#include "class_b/dhcp/dhcp_base/CFixedOffsetStorage.h"
#include "class_b/dhcp/dhcp_base/COptionType.h"
#include "class_b/dhcp/dhcp_base/CTagPath.h"
#include "class_b/dhcp/dhcp_base/CUserDefinable.h"
#include "class_b/dhcp/dhcp_base/CVendorID.h"

namespace qvt {

class CStringMap;

class COptionAttributes {
 public:
  // COptionAttributes: tag path 0xffffffff, type "unknown", "disallowed",
  // one instance, encoding values -1, vendor id 0, everything else empty.
  COptionAttributes();
  virtual ~COptionAttributes();

  virtual void setTagPath(const CTagPath& path) { tagPath_ = path; }
  virtual const CTagPath& tagPath() const { return tagPath_; }
  virtual CTagPath& tagPath() { return tagPath_; }
  virtual void setType(const COptionType& type) { type_ = type; }
  virtual const COptionType& type() const { return type_; }
  virtual COptionType& type() { return type_; }
  virtual void setName(const std::string& name) { name_ = name; }
  virtual const std::string& name() const { return name_; }
  virtual void setOptionClass(const std::string& optionClass) { class_ = optionClass; }
  virtual const std::string& optionClass() const { return class_; }
  virtual void setDescription(const std::string& description) { description_ = description; }
  virtual const std::string& description() const { return description_; }
  virtual void setDefaultValue(const std::string& value) { defaultValue_ = value; }
  virtual const std::string& defaultValue() const { return defaultValue_; }
  virtual void setMaxInstances(std::uint32_t count) { maxInstances_ = count; }
  virtual std::uint32_t maxInstances() const { return maxInstances_; }
  virtual void setUserDefinable(const CUserDefinable& state) { userDefinable_ = state; }
  virtual const CUserDefinable& userDefinable() const { return userDefinable_; }
  virtual CUserDefinable& userDefinable() { return userDefinable_; }
  virtual void setInputTypeEncodingValue(std::int32_t value) { inputEncoding_ = value; }
  virtual std::int32_t inputTypeEncodingValue() const { return inputEncoding_; }
  virtual void setOutputTypeEncodingValue(std::int32_t value) { outputEncoding_ = value; }
  virtual std::int32_t outputTypeEncodingValue() const { return outputEncoding_; }
  virtual void setVendorId(const CVendorID& id) { vendorId_ = id; }
  virtual CVendorID vendorId() const { return vendorId_; }
  virtual void setVendorOro(bool value) { vendorOro_ = value; }
  virtual bool vendorOro() const { return vendorOro_; }
  virtual void setContextVendorId(const std::string& id) { contextVendorId_ = id; }
  virtual const std::string& contextVendorId() const { return contextVendorId_; }
  virtual const CElementAttributes& elementAttributes() const { return elementAttributes_; }
  virtual CElementAttributes& elementAttributes() { return elementAttributes_; }
  virtual void setFixedOffsets(const CFixedOffsetStorage& offsets) { fixedOffsets_ = offsets; }
  virtual const CFixedOffsetStorage& fixedOffsets() const { return fixedOffsets_; }
  virtual CFixedOffsetStorage& fixedOffsets() { return fixedOffsets_; }

  // string(text): _set(CStringMap(text)).
  virtual void string(const std::string& text);
  // string(): the definition's keys as key=value lines in key order, followed
  // by the element attributes' lines. Raises as CUserDefinable::string for an
  // invalid user-definable state.
  virtual std::string string() const;

  // _set: reads the definition from map. "tagpath", "type" and "name" are
  // required: a missing one raises "Invalid option attribute data." (tag
  // path) or "Invalid data for option %1." (type, name). A failure while
  // reading the other keys is re-raised with the description "Invalid data
  // for option %1." and its own reason. Fields set before a failure keep
  // their new values.
  void _set(const CStringMap& map);

 private:
  CTagPath tagPath_;
  CUserDefinable userDefinable_;
  std::string name_;
  std::string class_;
  std::string description_;
  std::string defaultValue_;
  COptionType type_;
  std::uint32_t maxInstances_ = 1;
  std::int32_t inputEncoding_ = -1;
  std::int32_t outputEncoding_ = -1;
  CVendorID vendorId_;
  bool vendorOro_ = false;
  std::string contextVendorId_;
  CElementAttributes elementAttributes_;
  CFixedOffsetStorage fixedOffsets_;
};

}  // namespace qvt
