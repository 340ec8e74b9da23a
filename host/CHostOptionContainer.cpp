#include "host/CHostOptionContainer.h"

namespace qvt {

CHostOptionContainer::~CHostOptionContainer() = default;

COption::Ptr CHostOptionContainer::clone() const {
  Ptr copy(new CHostOptionContainer(*this));
  copy.get()->setParent(nullptr);
  _cloneChildrenInto(*copy.get());
  return copy;
}

void CHostOptionContainer::addValue(const CVariant&) {
  _failNoElements();
}

void CHostOptionContainer::setValue(std::size_t, const CVariant&) {
  _failNoElements();
}

void CHostOptionContainer::string(const std::string& text) {
  if (!text.empty()) _failNoElements();
}

std::string CHostOptionContainer::elementText(std::size_t index) const {
  _failIndex(index, "COption::elementText");
}

}  // namespace qvt
