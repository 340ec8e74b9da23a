// CMultiVariant: the argument and result list of a function call.
//
// An ordered list of CVariant whose "current" value is the one at the back.
// Arguments are appended last-first, so a handler reads them in written order
// by taking the current value and advancing; a handler answers by appending,
// and the value of a call is the last value appended:
//
//   CMultiVariant arguments;
//   arguments.append(CVariant(std::int64_t{2}));   // second argument
//   arguments.append(CVariant(std::int64_t{1}));   // first argument
//   arguments.current().integer();                 // 1
//   arguments.advance();
//   arguments.current().integer();                 // 2
//
// Clearing and advancing keep the slots they free, and appending assigns into
// a kept slot, so a list that is refilled with values of similar size (as the
// nodes of a compiled expression do on every run) stops allocating.
#pragma once

#include <cstddef>
#include <vector>

#include "class_a/standard/CVariant.h"

namespace qvt {

class CMultiVariant {
 public:
  CMultiVariant() = default;
  CMultiVariant(const CMultiVariant& other) { append(other); }
  CMultiVariant& operator=(const CMultiVariant& other);
  virtual ~CMultiVariant();

  // append: adds value at the back; it becomes the current value.
  void append(const CVariant& value);
  void append(CVariant&& value);
  // append: adds every value of other, first to last, so other's current
  // value becomes this list's current value.
  void append(const CMultiVariant& other);
  // appendSlot: adds a value at the back and returns it for the caller to
  // overwrite completely; its content is unspecified until then.
  CVariant& appendSlot();

  // current: the value at the back. Must not be called on an empty list.
  CVariant& current() noexcept { return slots_[size_ - 1]; }
  const CVariant& current() const noexcept { return slots_[size_ - 1]; }
  // advance: removes the current value; does nothing on an empty list.
  void advance() noexcept {
    if (size_ > 0) --size_;
  }

  bool empty() const noexcept { return size_ == 0; }
  std::size_t size() const noexcept { return size_; }
  // clear: removes every value.
  void clear() noexcept { size_ = 0; }

  // operator[]: the value at index, in the order of appending (0 = the first
  // appended; size() - 1 = current). index must be below size().
  CVariant& operator[](std::size_t index) noexcept { return slots_[index]; }
  const CVariant& operator[](std::size_t index) const noexcept { return slots_[index]; }

 private:
  std::vector<CVariant> slots_;  // slots_[size_..] are kept for reuse
  std::size_t size_ = 0;
};

}  // namespace qvt
