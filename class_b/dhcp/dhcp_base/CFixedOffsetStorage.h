// CFixedOffsetStorage: the fixed-position fields of an option, at most one
// per tag, in ascending tag order.
//
// Text form: each field's "tag,offset,length" in double quotes, joined by
// ",":  "1,0,4","2,4,2"
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "class_a/standard/CObject.h"
#include "class_b/dhcp/dhcp_base/CFixedRawOffset.h"

namespace qvt {

class CFixedOffsetStorage : public CObject {
 public:
  using Entries = std::map<std::uint32_t, CFixedRawOffset>;
  using const_iterator = Entries::const_iterator;

  CFixedOffsetStorage() = default;
  ~CFixedOffsetStorage() override;

  // string(text): replaces the fields by those of text, split at commas
  // outside double quotes; a later field replaces an earlier one with the
  // same tag. An empty text gives no fields. Raises as
  // CFixedRawOffset::string; the fields read before the failure stay.
  void string(const std::string& text) override;
  // string(): the fields in ascending tag order (empty text for none).
  std::string string() const override;

  // set: stores field under its tag, replacing an earlier one.
  void set(const CFixedRawOffset& field) { entries_[field.tag()] = field; }
  // find: the field of tag, or null.
  const CFixedRawOffset* find(std::uint32_t tag) const;
  std::size_t erase(std::uint32_t tag) { return entries_.erase(tag); }
  void clear() { entries_.clear(); }
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }

  bool operator==(const CFixedOffsetStorage& other) const { return entries_ == other.entries_; }

 private:
  Entries entries_;
};

}  // namespace qvt
