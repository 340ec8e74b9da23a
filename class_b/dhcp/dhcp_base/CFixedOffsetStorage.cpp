#include "class_b/dhcp/dhcp_base/CFixedOffsetStorage.h"

namespace qvt {

CFixedOffsetStorage::~CFixedOffsetStorage() = default;

void CFixedOffsetStorage::string(const std::string& text) {
  clear();
  if (text.empty()) return;
  std::size_t begin = 0;
  bool quoted = false;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && (quoted || text[i] != ',')) {
      if (text[i] == '"') quoted = !quoted;
      continue;
    }
    CFixedRawOffset field;
    field.string(text.substr(begin, i - begin));
    set(field);
    begin = i + 1;
  }
}

std::string CFixedOffsetStorage::string() const {
  std::string out;
  for (const auto& entry : entries_) {
    if (!out.empty()) out += ',';
    out += '"';
    out += entry.second.string();
    out += '"';
  }
  return out;
}

const CFixedRawOffset* CFixedOffsetStorage::find(std::uint32_t tag) const {
  const auto found = entries_.find(tag);
  return found == entries_.end() ? nullptr : &found->second;
}

}  // namespace qvt
