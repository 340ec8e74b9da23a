#include "class_b/dhcp/dhcp_base/COptionAttributes.h"

#include "class_a/standard/CStringMap.h"
#include "class_a/standard/Fail.h"

namespace qvt {

COptionAttributes::COptionAttributes()
    : tagPath_(0xffffffffu), userDefinable_(CUserDefinable::eDisallowed) {}

COptionAttributes::~COptionAttributes() = default;

void COptionAttributes::string(const std::string& text) {
  _set(CStringMap(text));
}

std::string COptionAttributes::string() const {
  CStringMap map;
  map.set("tagpath", tagPath_.string());
  map.set("name", name_);
  map.set("class", class_);
  map.set("description", description_);
  map.set("type", type_.string());
  map.set("user_definable", userDefinable_.string());
  map.setUInt32("max_instances", maxInstances_);
  map.set("vendor_id", vendorId_.string());
  map.setBool("vendor_oro", vendorOro_);
  map.set("context_vendor_id", contextVendorId_);
  map.set("default_value", defaultValue_);
  map.setInt32("input_type_encoding_value", inputEncoding_);
  map.setInt32("output_type_encoding_value", outputEncoding_);
  map.set("fixed_offsets", fixedOffsets_.string());
  return map.text() + elementAttributes_.string();
}

void COptionAttributes::_set(const CStringMap& map) {
  fixedOffsets_.clear();
  if (!map.contains("tagpath")) {
    fail(CRaiser::of(*this), "dhcp_base", "COptionAttributes::_set",
         "Invalid option attribute data.",
         "An option type definition must include a 'tagpath' setting.");
  }
  tagPath_.assign(map.getString("tagpath", std::string()));
  if (!map.contains("type")) {
    fail(CRaiser::of(*this), "dhcp_base", "COptionAttributes::_set",
         {"Invalid data for option %1.", tagPath_.string()},
         "An option type definition must include a 'type' setting.");
  }
  type_.string(map.getString("type", std::string()));
  if (!map.contains("name")) {
    fail(CRaiser::of(*this), "dhcp_base", "COptionAttributesImpl::_set",
         {"Invalid data for option %1.", tagPath_.string()},
         "An option type definition must include a 'name' setting.");
  }
  name_ = map.getString("name", std::string());

  try {
    maxInstances_ = map.getUInt32("max_instances", 1);
    class_ = map.getString("class", std::string());
    description_ = map.getString("description", std::string());
    defaultValue_ = map.getString("default_value", std::string());
    userDefinable_.string(map.getString("user_definable", "allowed"));
    vendorId_.assign(map.getString("vendor_id", CVendorID().string()));
    // A vendor id text without numbers ("/") names no vendor, as an empty
    // one does: it reads as the default, since its written form (empty)
    // would read back as the default too.
    if (vendorId_.depth() == 0) vendorId_ = CVendorID();
    vendorOro_ = map.getBool("vendor_oro", false);
    contextVendorId_ = map.getString("context_vendor_id", std::string());
    inputEncoding_ = map.getInt32("input_type_encoding_value", -1);
    outputEncoding_ = map.getInt32("output_type_encoding_value", -1);
    const std::string offsets = map.getString("fixed_offsets", std::string());
    if (!offsets.empty()) fixedOffsets_.string(offsets);
    elementAttributes_.set(map);
  } catch (CException& e) {
    // Keep the failure's type, reason and origin; name the option instead.
    CMessage description("Invalid data for option %1.", tagPath_.string());
    description.setModule("dhcp_base");
    e.setDescription(description);
    throw;
  }
}

}  // namespace qvt
