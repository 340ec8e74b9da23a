#include "class_a/exp_eval/CMultiVariant.h"

namespace qvt {

CMultiVariant& CMultiVariant::operator=(const CMultiVariant& other) {
  if (this != &other) {
    clear();
    append(other);
  }
  return *this;
}

CMultiVariant::~CMultiVariant() = default;

void CMultiVariant::append(const CVariant& value) {
  if (size_ < slots_.size()) {
    slots_[size_] = value;
  } else {
    slots_.push_back(value);
  }
  ++size_;
}

void CMultiVariant::append(CVariant&& value) {
  if (size_ < slots_.size()) {
    slots_[size_] = std::move(value);
  } else {
    slots_.push_back(std::move(value));
  }
  ++size_;
}

void CMultiVariant::append(const CMultiVariant& other) {
  if (&other == this) {
    const std::size_t count = size_;
    for (std::size_t i = 0; i < count; ++i)
      append(CVariant(slots_[i]));
    return;
  }
  for (std::size_t i = 0; i < other.size_; ++i)
    append(other.slots_[i]);
}

CVariant& CMultiVariant::appendSlot() {
  if (size_ == slots_.size()) slots_.emplace_back();
  return slots_[size_++];
}

}  // namespace qvt
