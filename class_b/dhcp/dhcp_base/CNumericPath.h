// CNumericPath: a fixed-capacity path of numbers such as 43/1 or 4491/2.
//
// Elements live in an inline array of 100 values, so building, copying and
// comparing paths never touch the heap; only the elements in use are
// written and copied. The text form joins the elements by
// the separator ("/" by default); values above 65535 are written in
// hexadecimal:
//
//   CTagPath path("43/'ab'/0x10");  // 43, 97, 98, 16
//   path.string();                  // "43/97/98/16"
//
// Operations that can fail take the module of the calling code ("dhcp_base"
// unless given), so a failure names the module that used the path.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "class_a/standard/CObject.h"

namespace qvt {

template <class T>
class CNumericPath : public CObject {
 public:
  using value_type = T;
  using const_iterator = const T*;
  static constexpr std::uint64_t kMaxDepth = 100;
  static constexpr const char* kDefaultModule = "dhcp_base";

  // CNumericPath: an empty path with separator "/".
  CNumericPath() = default;
  // CNumericPath(value): a path of depth 1.
  explicit CNumericPath(T value);
  // CNumericPath(values, depth): the first `depth` values. Raises "Cannot
  // create numeric path." when depth exceeds 100.
  CNumericPath(const T* values, std::uint64_t depth, const char* module = kDefaultModule);
  // CNumericPath(text, separator): parses text (see assign). Raises as push_back.
  explicit CNumericPath(const std::string& text, char separator = '/',
                        const char* module = kDefaultModule);

  CNumericPath(const CNumericPath& other)
      : CObject(other), depth_(other.depth_), separator_(other.separator_) {
    std::copy(other.begin(), other.end(), elements_.begin());
  }
  CNumericPath& operator=(const CNumericPath& other) {
    if (this == &other) return *this;
    std::copy(other.begin(), other.end(), elements_.begin());
    depth_ = other.depth_;
    separator_ = other.separator_;
    return *this;
  }
  ~CNumericPath() override = default;

  // push_back: appends one element. Raises "Cannot append to numeric path."
  // when the path already holds 100 elements.
  void push_back(T value, const char* module = kDefaultModule);
  // append: concatenates other. Raises "Cannot concatenate two numeric
  // paths." when the combined depth would exceed 100; the path is unchanged.
  void append(const CNumericPath& other, const char* module);
  // operator+=: append with module "dhcp_base".
  CNumericPath& operator+=(const CNumericPath& other);

  // assign: replaces the path by the elements of text. Tokens are split at
  // separators outside single quotes, trimmed of blanks and double quotes;
  // empty tokens are skipped. A token in single quotes gives one element per
  // character (a byte above 127 widens as a negative 8-bit number); any other
  // token is read as strtoul with base 0 would read it on a 32-bit platform.
  // Raises as push_back; the elements read before the failure stay.
  void assign(const std::string& text, const char* module = kDefaultModule);

  // string(text): assign with the path's own separator.
  void string(const std::string& text) override;
  // string(): elements joined by the separator; values above 65535 (read as
  // unsigned 32 bits) as "0x" and lowercase hexadecimal digits.
  std::string string() const override;

  std::uint64_t depth() const { return depth_; }
  bool empty() const { return depth_ == 0; }
  void clear() { depth_ = 0; }
  // reverse: the elements in the opposite order.
  void reverse();

  // operator[]: element i; i must be below depth().
  T operator[](std::uint64_t i) const { return elements_[i]; }
  T& operator[](std::uint64_t i) { return elements_[i]; }
  const_iterator begin() const { return elements_.data(); }
  const_iterator end() const { return elements_.data() + depth_; }

  char separator() const { return separator_; }
  void setSeparator(char separator) { separator_ = separator; }

  // operator<: element by element over the shorter depth, then shorter first.
  bool operator<(const CNumericPath& other) const;
  // operator==: same depth and elements (the separator does not count).
  bool operator==(const CNumericPath& other) const;
  bool operator!=(const CNumericPath& other) const { return !(*this == other); }

 private:
  void _appendToken(const char* begin, const char* end, const char* module);

  std::array<T, kMaxDepth> elements_;  // elements_[depth_..] are never read
  std::uint64_t depth_ = 0;
  char separator_ = '/';
};

extern template class CNumericPath<std::uint32_t>;
extern template class CNumericPath<std::int32_t>;

}  // namespace qvt
