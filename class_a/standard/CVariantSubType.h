// CVariantSubType: the refinement of a variant's type.
//
// Codes are not validated; the named ones are:
//
//   CVariantSubType::kGeneral        "general"        every type (the default)
//   CVariantSubType::kFunctionName   "function name"  a string naming a "$" function
//   CVariantSubType::kReservedWord   "reserved word"  a string (named only)
//   CVariantSubType::kIPv4           "ipv4"           an ip address
//   CVariantSubType::kIPv6           "ipv6"           an ip address
//
// Any other code is named by its decimal number.
#pragma once

#include <cstdint>
#include <string>

namespace qvt {

class CVariantSubType {
 public:
  enum Code : std::uint32_t {
    kGeneral = 0,
    kFunctionName = 1,
    kReservedWord = 2,
    kIPv4 = 3,
    kIPv6 = 4,
  };

  constexpr CVariantSubType() noexcept = default;
  constexpr CVariantSubType(Code code) noexcept : value_(code) {}  // NOLINT(runtime/explicit)
  // CVariantSubType(value): any code, named or not.
  constexpr explicit CVariantSubType(std::uint32_t value) noexcept : value_(value) {}

  constexpr std::uint32_t value() const noexcept { return value_; }
  void set(std::uint32_t value) noexcept { value_ = value; }

  friend constexpr bool operator==(CVariantSubType a, CVariantSubType b) noexcept {
    return a.value_ == b.value_;
  }
  friend constexpr bool operator!=(CVariantSubType a, CVariantSubType b) noexcept {
    return a.value_ != b.value_;
  }

  // isAddressFamily: the subtype is "ipv4" or "ipv6".
  constexpr bool isAddressFamily() const noexcept { return value_ == kIPv4 || value_ == kIPv6; }

  // name: the code's name, or its decimal number when it has none.
  std::string name() const;

  // addressType: the CIPAddress type of "ipv4" (4) or "ipv6" (6). Raises
  // "Cannot determine ip address type from variant subtype." (operation
  // "CVariantSubType::addressType") for any other subtype.
  static std::uint32_t addressType(CVariantSubType subtype);
  // type: the subtype of a CIPAddress type (4 or 6). Raises "Cannot determine
  // variant subtype from ip address type." (operation "CVariantSubType::type")
  // for any other address type.
  static CVariantSubType type(std::uint32_t addressType);

 private:
  std::uint32_t value_ = kGeneral;
};

}  // namespace qvt
