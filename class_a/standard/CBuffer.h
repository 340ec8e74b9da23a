// CBuffer: a growable array of trivially copyable elements with inline storage.
//
// Up to InlineCapacity elements live inside the object itself, so small
// buffers are created, copied and destroyed without touching the heap; past
// that the elements move to one heap block that grows geometrically.
//
//   CBuffer<unsigned char, 64> bytes(16);
//   bytes.push_back(0x0A);
//   bytes.append(raw, 3);
//   for (unsigned char b : bytes) { ... }
//
// Iterators are plain pointers (CBufferIterator) and std::reverse_iterator
// over them; like std::vector's, they are invalidated by any growth.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <memory>
#include <type_traits>

namespace qvt {

template <class T>
using CBufferIterator = T*;
template <class T>
using CBufferConstIterator = const T*;
template <class T>
using CBufferReverseIterator = std::reverse_iterator<T*>;
template <class T>
using CBufferConstReverseIterator = std::reverse_iterator<const T*>;

template <class T, std::size_t InlineCapacity>
class CBuffer {
  static_assert(std::is_trivially_copyable<T>::value, "CBuffer holds trivially copyable elements");
  static_assert(InlineCapacity > 0, "CBuffer needs some inline storage");

 public:
  using value_type = T;
  using size_type = std::size_t;
  using iterator = CBufferIterator<T>;
  using const_iterator = CBufferConstIterator<T>;
  using reverse_iterator = CBufferReverseIterator<T>;
  using const_reverse_iterator = CBufferConstReverseIterator<T>;

  // CBuffer: empty, with room for at least `capacity` elements (inline when
  // that fits).
  explicit CBuffer(std::size_t capacity = 0) { reserve(capacity); }
  // CBuffer(data, length): a copy of `length` elements.
  CBuffer(const T* data, std::size_t length) { append(data, length); }

  // Copies keep only the used elements; a copy of a small buffer stays inline.
  CBuffer(const CBuffer& other) { append(other.data(), other.size()); }
  // Moves take over a heap block; inline elements are copied.
  CBuffer(CBuffer&& other) noexcept { _takeFrom(other); }
  CBuffer& operator=(const CBuffer& other) {
    if (this != &other) {
      size_ = 0;
      append(other.data(), other.size());
    }
    return *this;
  }
  CBuffer& operator=(CBuffer&& other) noexcept {
    if (this != &other) {
      _release();
      _takeFrom(other);
    }
    return *this;
  }
  ~CBuffer() { _release(); }

  // size: number of elements held.
  std::size_t size() const noexcept { return size_; }
  bool empty() const noexcept { return size_ == 0; }
  // capacity: elements that fit before the next growth (InlineCapacity at least).
  std::size_t capacity() const noexcept { return capacity_; }
  // isInline: the elements live inside the object (no heap block).
  bool isInline() const noexcept { return data_ == inline_; }

  // data: the first element; always a valid pointer, even when empty.
  T* data() noexcept { return data_; }
  const T* data() const noexcept { return data_; }

  // operator[]: unchecked element access; index must be below size().
  T& operator[](std::size_t index) noexcept { return data_[index]; }
  const T& operator[](std::size_t index) const noexcept { return data_[index]; }

  // clear: size becomes 0; the storage is kept for reuse.
  void clear() noexcept { size_ = 0; }

  // reserve: ensures room for `capacity` elements without further growth.
  void reserve(std::size_t capacity) {
    if (capacity > capacity_) _grow(capacity);
  }

  // resize: grows with value-initialised elements or shrinks.
  void resize(std::size_t size) {
    reserve(size);
    if (size > size_) std::fill(data_ + size_, data_ + size, T());
    size_ = size;
  }

  // push_back: appends one element.
  void push_back(const T& value) {
    if (size_ == capacity_) _grow(_nextCapacity(size_ + 1));
    data_[size_++] = value;
  }

  // append: appends `length` elements; `data` may point into this buffer.
  void append(const T* data, std::size_t length) {
    if (length == 0) return;
    if (size_ + length > capacity_) {
      if (data >= data_ && data < data_ + size_) {
        // The source lives in the block about to move: keep its offset.
        const std::size_t offset = static_cast<std::size_t>(data - data_);
        _grow(_nextCapacity(size_ + length));
        data = data_ + offset;
      } else {
        _grow(_nextCapacity(size_ + length));
      }
    }
    std::memmove(data_ + size_, data, length * sizeof(T));
    size_ += length;
  }

  iterator begin() noexcept { return data_; }
  iterator end() noexcept { return data_ + size_; }
  const_iterator begin() const noexcept { return data_; }
  const_iterator end() const noexcept { return data_ + size_; }
  const_iterator cbegin() const noexcept { return data_; }
  const_iterator cend() const noexcept { return data_ + size_; }
  reverse_iterator rbegin() noexcept { return reverse_iterator(end()); }
  reverse_iterator rend() noexcept { return reverse_iterator(begin()); }
  const_reverse_iterator rbegin() const noexcept { return const_reverse_iterator(end()); }
  const_reverse_iterator rend() const noexcept { return const_reverse_iterator(begin()); }

  // operator==: same size and elements.
  friend bool operator==(const CBuffer& a, const CBuffer& b) noexcept {
    return a.size_ == b.size_ &&
           (a.size_ == 0 || std::memcmp(a.data_, b.data_, a.size_ * sizeof(T)) == 0);
  }
  friend bool operator!=(const CBuffer& a, const CBuffer& b) noexcept { return !(a == b); }

 private:
  std::size_t _nextCapacity(std::size_t needed) const noexcept {
    return std::max(needed, capacity_ * 2);
  }

  void _grow(std::size_t capacity) {
    std::unique_ptr<T[]> block(new T[capacity]);
    if (size_ > 0) std::memcpy(block.get(), data_, size_ * sizeof(T));
    _release();
    data_ = block.release();
    capacity_ = capacity;
  }

  void _release() noexcept {
    if (data_ != inline_) delete[] data_;
    data_ = inline_;
    capacity_ = InlineCapacity;
  }

  // _takeFrom: steals other's storage; other is left empty and inline.
  void _takeFrom(CBuffer& other) noexcept {
    if (other.data_ == other.inline_) {
      if (other.size_ > 0) std::memcpy(inline_, other.inline_, other.size_ * sizeof(T));
    } else {
      data_ = other.data_;
      capacity_ = other.capacity_;
      other.data_ = other.inline_;
      other.capacity_ = InlineCapacity;
    }
    size_ = other.size_;
    other.size_ = 0;
  }

  T inline_[InlineCapacity];
  T* data_ = inline_;
  std::size_t size_ = 0;
  std::size_t capacity_ = InlineCapacity;
};

}  // namespace qvt
