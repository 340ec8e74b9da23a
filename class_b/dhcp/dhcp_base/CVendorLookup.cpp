#include "class_b/dhcp/dhcp_base/CVendorLookup.h"

#include "class_a/standard/Fail.h"
#include "class_b/dhcp/dhcp_base/CWildcard.h"

namespace qvt {

CVendorLookup::~CVendorLookup() = default;

void CVendorLookup::load(const Classes& entries) {
  for (const auto& entry : entries) {
    classes_[entry.first] = entry.second;
    if (CWildcard::hasWildcards(entry.first)) patterns_.push_back(entry.first);
  }
}

const CVendorLookup::Entry* CVendorLookup::find(std::string_view classText) const {
  auto found = classes_.find(classText);
  if (found == classes_.end()) {
    for (const std::string& pattern : patterns_) {
      if (CWildcard::match(pattern, classText)) {
        found = classes_.find(pattern);
        break;
      }
    }
  }
  return found == classes_.end() ? nullptr : &*found;
}

const CVendorLookup::Entry* CVendorLookup::find(std::int32_t enterpriseNumber,
                                                std::string_view classText) const {
  for (const Entry& entry : classes_) {
    const CVendorAttributes* attributes = entry.second.get();
    if (attributes == nullptr) continue;
    const CVendorID id = attributes->vendorId();
    if (id.empty() || id[0] != enterpriseNumber) continue;
    if (CWildcard::match(entry.first, classText)) return &entry;
  }
  return nullptr;
}

CVendorLookup::Result CVendorLookup::locate(const std::string& classText) const {
  const Entry* found = find(classText);
  if (found == nullptr) {
    fail(CRaiser::of(*this), "dhcp_base", "CVendorLookup::locate",
         {"Cannot find attributes for vendor class '%1'.", classText},
         "This vendor class is not defined.");
  }
  return Result(found->first, found->second);
}

CVendorLookup::Result CVendorLookup::locate(std::int32_t enterpriseNumber,
                                            const std::string& classText) const {
  const Entry* found = find(enterpriseNumber, classText);
  if (found == nullptr) {
    fail(CRaiser::of(*this), "dhcp_base", "CVendorLookup::locate",
         {"Cannot find attributes for vendor %1, class '%2'.", enterpriseNumber, classText},
         "This vendor class is not defined.");
  }
  return Result(found->first, found->second);
}

}  // namespace qvt
