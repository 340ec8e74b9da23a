// CVariantText: the text of a string variant, with inline room for short texts.
//
// Texts up to kInlineCapacity bytes live inside the object, so string variants
// of everyday length (names, class identifiers, addresses as text) are
// created, copied and assigned without touching the heap. Longer texts take
// one heap block. The bytes carry no encoding and no terminator.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace qvt {

class CVariantText {
 public:
  static constexpr std::size_t kInlineCapacity = 104;

  CVariantText() noexcept = default;
  explicit CVariantText(std::string_view text) { assign(text); }
  CVariantText(const CVariantText& other) { assign(other.view()); }
  CVariantText(CVariantText&& other) noexcept { _take(other); }
  CVariantText& operator=(const CVariantText& other) {
    if (this != &other) assign(other.view());
    return *this;
  }
  CVariantText& operator=(CVariantText&& other) noexcept {
    if (this != &other) {
      heap_.reset();
      _take(other);
    }
    return *this;
  }
  ~CVariantText() = default;

  const char* data() const noexcept { return heap_ ? heap_.get() : inline_; }
  std::size_t size() const noexcept { return size_; }
  bool empty() const noexcept { return size_ == 0; }
  std::string_view view() const noexcept { return std::string_view(data(), size_); }
  std::string str() const { return std::string(data(), size_); }

  // assign: replaces the text; `text` may point into this object.
  void assign(std::string_view text) {
    if (text.size() > _capacity()) {
      std::unique_ptr<char[]> block(new char[text.size()]);
      std::memcpy(block.get(), text.data(), text.size());
      heap_ = std::move(block);
      heapCapacity_ = text.size();
    } else if (!text.empty()) {
      std::memmove(_mutableData(), text.data(), text.size());
    }
    size_ = text.size();
  }

  // overwrite: resizes to `size` bytes whose content the caller writes through
  // the returned pointer (the previous content is not kept).
  char* overwrite(std::size_t size) {
    if (size > _capacity()) {
      heap_.reset(new char[size]);
      heapCapacity_ = size;
    }
    size_ = size;
    return _mutableData();
  }

  // append: adds text at the end; `text` may point into this object.
  void append(std::string_view text) {
    const std::size_t total = size_ + text.size();
    if (total > _capacity()) {
      const std::size_t capacity = total < 2 * size_ ? 2 * size_ : total;
      std::unique_ptr<char[]> block(new char[capacity]);
      std::memcpy(block.get(), data(), size_);
      std::memcpy(block.get() + size_, text.data(), text.size());
      heap_ = std::move(block);
      heapCapacity_ = capacity;
    } else if (!text.empty()) {
      std::memmove(_mutableData() + size_, text.data(), text.size());
    }
    size_ = total;
  }

 private:
  std::size_t _capacity() const noexcept { return heap_ ? heapCapacity_ : kInlineCapacity; }
  char* _mutableData() noexcept { return heap_ ? heap_.get() : inline_; }
  void _take(CVariantText& other) noexcept {
    if (other.heap_) {
      heap_ = std::move(other.heap_);
      heapCapacity_ = other.heapCapacity_;
    } else if (other.size_ > 0) {
      std::memcpy(inline_, other.inline_, other.size_);
    }
    size_ = other.size_;
    other.size_ = 0;
  }

  std::unique_ptr<char[]> heap_;
  std::size_t heapCapacity_ = 0;
  std::size_t size_ = 0;
  char inline_[kInlineCapacity];
};

}  // namespace qvt
