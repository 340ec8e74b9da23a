// CProtocolFamily: the program's own code for an address family.
//
// Codes: 0 unspecified (text ""), 1 "none", 4 IPv4 ("4"), 6 IPv6 ("6"). The
// mapping to the operating system's AF_INET / AF_INET6 is fixed:
//
//   CProtocolFamily::proto(AF_INET6).code();       // 6
//   CProtocolFamily(CProtocolFamily::kIPv4).pf_inet();  // AF_INET
//
// Failures raise qvt::CException with module "standard".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "class_a/standard/CObject.h"

namespace qvt {

class CProtocolFamily : public CObject {
 public:
  static constexpr std::uint32_t kUnspecified = 0;
  static constexpr std::uint32_t kNone = 1;
  static constexpr std::uint32_t kIPv4 = 4;
  static constexpr std::uint32_t kIPv6 = 6;

  // The unspecified family (0).
  CProtocolFamily() = default;
  // A family from its code. Raises "Cannot set protocol family." (operation
  // "CProtocolFamily::_checkValidity") for a code other than 0, 1, 4, 6.
  explicit CProtocolFamily(std::uint32_t code);
  CProtocolFamily(const CProtocolFamily&) = default;
  CProtocolFamily& operator=(const CProtocolFamily&) = default;
  ~CProtocolFamily() override = default;

  // code: 0, 1, 4 or 6.
  std::uint32_t code() const { return code_; }
  // code(value): sets the code; raises as the constructor.
  void code(std::uint32_t value);

  // proto: 0 -> 0, AF_INET -> 4, AF_INET6 -> 6. Raises "Cannot map protocol
  // family '%1'." (operation "CProtocolFamily::proto") for other values.
  static CProtocolFamily proto(int osFamily);
  // pf_inet: 0 -> 0, 4 -> AF_INET, 6 -> AF_INET6. Raises "Cannot map protocol
  // family '%1'." (operation "CProtocolFamily::pf_inet") for "none".
  int pf_inet() const;

  // string(text): "4", "6", "none" or "". Raises "Cannot set protocol family
  // '%1'." (operation "CProtocolFamily::string") for any other text.
  void string(const std::string& text) override;
  // string: "", "none", "4" or "6".
  std::string string() const override;

  // addressSize: 4 for code 4, 16 for code 6. Raises "Cannot determine address
  // size." (operation "CProtocolFamily::addressSize") for other codes.
  static std::size_t addressSize(const CProtocolFamily& family);
  // addressSizeOs: 4 for AF_INET, 16 for AF_INET6. Raises "Cannot determine
  // address size." (operation "CProtocolFamily::addressSize") otherwise.
  static std::size_t addressSizeOs(int osFamily);

  bool operator==(const CProtocolFamily& other) const { return code_ == other.code_; }
  bool operator!=(const CProtocolFamily& other) const { return code_ != other.code_; }

 private:
  void _checkValidity(std::uint32_t code) const;

  std::uint32_t code_ = kUnspecified;
};

}  // namespace qvt
