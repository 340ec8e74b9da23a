#include "class_b/dhcp/dhcp_base/CElementAttributes.h"

#include "class_a/standard/CStringMap.h"

namespace qvt {

CElementAttributes::~CElementAttributes() = default;

void CElementAttributes::string(const std::string& text) {
  set(CStringMap(text));
}

std::string CElementAttributes::string() const {
  CStringMap map;
  write(map);
  return map.text();
}

void CElementAttributes::set(const CStringMap& map) {
  arrayed_ = map.getBool("arrayed", false);
  signed_ = map.getBool("signed", false);
  nullTerminated_ = map.getBool("null_terminated", false);
  lenPrefixWidth_ = map.getUInt32("len_prefix_width", 0);
  subtagWidth_ = map.getUInt32("subtag_width", 0);
  sublenWidth_ = map.getUInt32("sublen_width", 0);
  subtypeWidth_ = map.getUInt32("subtype_width", 0);
  unit_ = map.getString("unit", std::string());
  minValue_ = map.getInt32("min_value", kNoMinimum);
  maxValue_ = map.getInt32("max_value", kNoMaximum);
}

void CElementAttributes::write(CStringMap& map) const {
  map.setBool("arrayed", arrayed_);
  map.setBool("signed", signed_);
  map.setBool("null_terminated", nullTerminated_);
  map.set("unit", unit_);
  map.setUInt32("len_prefix_width", lenPrefixWidth_);
  map.setUInt32("subtag_width", subtagWidth_);
  map.setUInt32("sublen_width", sublenWidth_);
  map.setUInt32("subtype_width", subtypeWidth_);
  // An empty bound reads back as "no bound", so the defaults survive.
  if (minValue_ == kNoMinimum) {
    map.set("min_value", std::string());
  } else {
    map.setInt32("min_value", minValue_);
  }
  if (maxValue_ == kNoMaximum) {
    map.set("max_value", std::string());
  } else {
    map.setInt32("max_value", maxValue_);
  }
}

void CElementAttributes::assign(const CElementAttributes& other) {
  *this = other;
}

bool CElementAttributes::operator==(const CElementAttributes& other) const {
  return signed_ == other.signed_ && arrayed_ == other.arrayed_ &&
         nullTerminated_ == other.nullTerminated_ && lenPrefixWidth_ == other.lenPrefixWidth_ &&
         subtagWidth_ == other.subtagWidth_ && sublenWidth_ == other.sublenWidth_ &&
         subtypeWidth_ == other.subtypeWidth_ && unit_ == other.unit_ &&
         minValue_ == other.minValue_ && maxValue_ == other.maxValue_;
}

}  // namespace qvt
