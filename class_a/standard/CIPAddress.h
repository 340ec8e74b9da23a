// CIPAddress: an IPv4 or IPv6 address, or no address at all.
//
// The address is kept as plain bytes in network order (no heap), so copies are
// cheap. Text is read strictly: IPv4 only as four dotted decimal parts, IPv6 in
// the RFC 4291 forms.
//
//   CIPAddress a("10.0.0.255");
//   a += CIPAddress("0.0.0.1");        // 10.0.1.0
//   a.createPrefix(24).string();       // "10.0.1.0"
//   CIPAddress("::ffff:10.0.0.1").mapTo(CIPAddress::kIPv4);
//
// Failures raise qvt::CException with module "standard".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "class_a/standard/CObject.h"

namespace qvt {

class CIPAddress : public CObject {
 public:
  // Address type codes.
  static constexpr std::uint32_t kIPv4 = 4;
  static constexpr std::uint32_t kIPv6 = 6;
  static constexpr std::uint32_t kNone = 255;

  // An address of no type.
  CIPAddress() = default;
  // The all-zero address of `addressType`; a code other than 4 or 6 gives an
  // address of no type.
  explicit CIPAddress(std::uint32_t addressType);
  // Parses `text` (see _set); raises as _set.
  explicit CIPAddress(const std::string& text);
  // IPv4: the address whose bytes are `networkOrderValue` as stored in memory;
  // IPv6: zero bytes followed by those four bytes. Other types: no address.
  CIPAddress(std::uint32_t networkOrderValue, std::uint32_t addressType);
  CIPAddress(const CIPAddress&) = default;
  CIPAddress& operator=(const CIPAddress&) = default;
  ~CIPAddress() override = default;

  // addressType: 4, 6 or 255 (no address).
  std::uint32_t addressType() const { return addressType_; }

  // set: 4 bytes make an IPv4 address, 16 an IPv6 address. Raises
  // "Illegal operation." (operation "CIPAddress::set") for other lengths.
  void set(const unsigned char* bytes, std::size_t length);

  // _set: resets to no address, then parses `text`: IPv6 when it contains ":",
  // otherwise strict IPv4 (at most 15 characters, four "."-separated parts of
  // 1 to 3 decimal digits, each 0 to 255; no blanks, no brackets). Raises
  // "Cannot create an ip address." (operation "CIPAddress::_set") on failure;
  // the address then has no type.
  void _set(const std::string& text);

  // tryParse: the parse of _set without exceptions or heap use. Returns false
  // and leaves `out` unchanged when `text` is no address.
  static bool tryParse(std::string_view text, CIPAddress& out);

  // string(text): as _set.
  void string(const std::string& text) override;
  // string: "10.0.0.1" or the compressed lower-case IPv6 form ("fe80::1").
  // Raises "Illegal operation." (operation "CIPAddress::string") without type.
  std::string string() const override;
  // fat_string: fixed width: "010.000.000.001" or eight "%04x" groups joined
  // by ":". Raises "Illegal operation." (operation "CIPAddress::fat_string")
  // without type.
  std::string fat_string() const;

  // addr_family: AF_INET or AF_INET6. Raises "Illegal operation." without type.
  int addr_family() const;
  // raw_addr: the address bytes in network order (raw_len() of them). Raises
  // "Illegal operation." without type.
  const unsigned char* raw_addr() const;
  // raw_len: 4, 16, or 0 without type.
  std::size_t raw_len() const;
  // v4value: the IPv4 address in host order; for IPv6 its last four bytes; 0
  // without type.
  std::uint32_t v4value() const;

  // set_inaddr_any: the all-zero address of the current type. Raises
  // "Illegal operation." without type.
  void set_inaddr_any();
  // setLoopback: 127.0.0.1 or ::1. Raises "Illegal operation." without type.
  void setLoopback();

  // Equality: same type and same bytes (two addresses of no type are equal).
  bool operator==(const CIPAddress& other) const;
  bool operator!=(const CIPAddress& other) const { return !(*this == other); }
  // Ordering: any IPv4 address is below any IPv6 address; within a type the
  // bytes compare as unsigned numbers. Raises "Illegal operation." (operation
  // "CIPAddress::operator>") when either side has no type.
  bool operator>(const CIPAddress& other) const;
  bool operator<(const CIPAddress& other) const;
  bool operator<=(const CIPAddress& other) const;
  bool operator>=(const CIPAddress& other) const;

  // Arithmetic on the address as one big-endian number: IPv4 modulo 2^32,
  // IPv6 modulo 2^128. Raises "Illegal operation." (operations
  // "CIPAddress::operator+=" / "CIPAddress::operator-=") when the types differ.
  CIPAddress& operator+=(const CIPAddress& other);
  CIPAddress& operator-=(const CIPAddress& other);
  CIPAddress operator+(const CIPAddress& other) const;
  CIPAddress operator-(const CIPAddress& other) const;
  // Prefix increment: adds 1 to the last byte, carrying as +=.
  CIPAddress& operator++();

  // Bitwise combination byte by byte. Raises "Illegal operation." (operation
  // "CIPAddress::operator|=" etc.) when the types differ.
  CIPAddress& operator|=(const CIPAddress& other);
  CIPAddress& operator&=(const CIPAddress& other);
  CIPAddress& operator^=(const CIPAddress& other);
  CIPAddress operator|(const CIPAddress& other) const;
  CIPAddress operator&(const CIPAddress& other) const;
  CIPAddress operator^(const CIPAddress& other) const;
  // Inverse: every byte inverted.
  CIPAddress operator~() const;

  // createPrefix: a copy with every bit after the first `bits` cleared.
  // Raises "Cannot create prefix from ip address." when the address has fewer
  // bits.
  CIPAddress createPrefix(std::uint32_t bits) const;

  // mapTo: converts in place: IPv4 a.b.c.d to ::ffff:a.b.c.d and back. Raises
  // "Cannot map address %1 to ipv4." for an IPv6 address that is not
  // v4-mapped, and "Illegal operation." for an address or target of no type.
  void mapTo(std::uint32_t addressType);
  // isV4Mapped: IPv6 within ::ffff:0:0/96.
  bool isV4Mapped() const;
  // isMulticast: IPv4 224.0.0.0 to 239.255.255.255, IPv6 ff00::/8.
  bool isMulticast() const;

  // prefixLenFromMask: the number of leading 1 bits of a contiguous mask
  // (IPv4 over 32 bits, IPv6 over 128 bits). Raises "Cannot calculate prefix
  // length from subnet mask." when the 1 bits are not one leading run or the
  // mask has no type.
  static std::uint32_t prefixLenFromMask(const CIPAddress& mask);

 private:
  unsigned char* bytes();
  const unsigned char* bytes() const;
  std::string _v4string() const;
  std::string _v6string() const;
  static bool _parseV4(std::string_view text, unsigned char (&out)[4]);
  void _checkSameType(const CIPAddress& other, const char* operation) const;

  std::uint32_t addressType_ = kNone;
  std::array<unsigned char, 4> v4_{};
  std::array<unsigned char, 16> v6_{};
};

}  // namespace qvt
