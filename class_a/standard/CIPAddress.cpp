#include "class_a/standard/CIPAddress.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <cstdio>
#include <cstring>

#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

constexpr const char* kModule = "standard";
constexpr const char* kIllegal = "Illegal operation.";
// The longest IPv6 text form ("ffff:...:255.255.255.255") has 45 characters.
constexpr std::size_t kMaxV6Text = 45;
constexpr unsigned char kV4MappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};

bool isDecimal(char c) {
  return c >= '0' && c <= '9';
}

// addWrapping, subtractWrapping: the bytes as one big-endian number; the carry
// (or borrow) out of the first byte is dropped, so results wrap.
template <std::size_t N>
void addWrapping(std::array<unsigned char, N>& a, const std::array<unsigned char, N>& b) {
  unsigned carry = 0;
  for (std::size_t n = N; n > 0; --n) {
    const unsigned sum = a[n - 1] + b[n - 1] + carry;
    a[n - 1] = static_cast<unsigned char>(sum);
    carry = sum >> 8;
  }
}

template <std::size_t N>
void subtractWrapping(std::array<unsigned char, N>& a, const std::array<unsigned char, N>& b) {
  int borrow = 0;
  for (std::size_t n = N; n > 0; --n) {
    const int difference = int{a[n - 1]} - int{b[n - 1]} - borrow;
    a[n - 1] = static_cast<unsigned char>(difference);
    borrow = difference < 0 ? 1 : 0;
  }
}

}  // namespace

CIPAddress::CIPAddress(std::uint32_t addressType) {
  if (addressType == kIPv4 || addressType == kIPv6) addressType_ = addressType;
}

CIPAddress::CIPAddress(const std::string& text) {
  _set(text);
}

CIPAddress::CIPAddress(std::uint32_t networkOrderValue, std::uint32_t addressType) {
  if (addressType == kIPv4) {
    std::memcpy(v4_.data(), &networkOrderValue, 4);
  } else if (addressType == kIPv6) {
    std::memcpy(v6_.data() + 12, &networkOrderValue, 4);
  } else {
    return;
  }
  addressType_ = addressType;
}

unsigned char* CIPAddress::bytes() {
  return addressType_ == kIPv6 ? v6_.data() : v4_.data();
}

const unsigned char* CIPAddress::bytes() const {
  return addressType_ == kIPv6 ? v6_.data() : v4_.data();
}

std::size_t CIPAddress::raw_len() const {
  switch (addressType_) {
    case kIPv4:
      return 4;
    case kIPv6:
      return 16;
    default:
      return 0;
  }
}

void CIPAddress::set(const unsigned char* bytes, std::size_t length) {
  if (length == 4) {
    std::memcpy(v4_.data(), bytes, 4);
    addressType_ = kIPv4;
  } else if (length == 16) {
    std::memcpy(v6_.data(), bytes, 16);
    addressType_ = kIPv6;
  } else {
    fail(CRaiser::of(*this), kModule, "CIPAddress::set", kIllegal,
         "Address length does not match any known address type.");
  }
}

bool CIPAddress::_parseV4(std::string_view text, unsigned char (&out)[4]) {
  const std::size_t n = text.size();
  if (n > 15) return false;
  std::size_t i = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (i >= n || text[i] != '.') return false;
      ++i;
    }
    const std::size_t start = i;
    unsigned value = 0;
    while (i < n && i - start < 3 && isDecimal(text[i])) {
      value = value * 10 + static_cast<unsigned>(text[i] - '0');
      ++i;
    }
    if (i == start || value > 255) return false;
    out[part] = static_cast<unsigned char>(value);
  }
  return i == n;
}

bool CIPAddress::tryParse(std::string_view text, CIPAddress& out) {
  if (text.find(':') == std::string_view::npos) {
    unsigned char v4[4];
    if (!_parseV4(text, v4)) return false;
    out.set(v4, 4);
    return true;
  }
  // inet_pton reads up to the first NUL: refuse texts that carry one, and give
  // it the text NUL-terminated from the stack.
  if (text.size() > kMaxV6Text || text.find('\0') != std::string_view::npos) return false;
  char terminated[kMaxV6Text + 1];
  std::memcpy(terminated, text.data(), text.size());
  terminated[text.size()] = '\0';
  unsigned char v6[16];
  if (inet_pton(AF_INET6, terminated, v6) != 1) return false;
  out.set(v6, 16);
  return true;
}

void CIPAddress::_set(const std::string& text) {
  addressType_ = kNone;
  if (!tryParse(text, *this)) {
    fail(CRaiser::of(*this), kModule, "CIPAddress::_set", "Cannot create an ip address.",
         {"Text '%1' is not a valid IP address.", text});
  }
}

void CIPAddress::string(const std::string& text) {
  _set(text);
}

std::string CIPAddress::_v4string() const {
  char buffer[INET_ADDRSTRLEN];
  if (inet_ntop(AF_INET, v4_.data(), buffer, sizeof buffer) == nullptr) {
    failSystem(CRaiser::of(*this), kModule, "CIPAddress::_v4string",
               "Failed to convert ipv4 address to text.");
  }
  return buffer;
}

std::string CIPAddress::_v6string() const {
  char buffer[INET6_ADDRSTRLEN];
  if (inet_ntop(AF_INET6, v6_.data(), buffer, sizeof buffer) == nullptr) {
    failSystem(CRaiser::of(*this), kModule, "CIPAddress::_v6string",
               "Failed to convert ipv6 address to text.");
  }
  return buffer;
}

std::string CIPAddress::string() const {
  if (addressType_ == kIPv4) return _v4string();
  if (addressType_ == kIPv6) return _v6string();
  fail(CRaiser::of(*this), kModule, "CIPAddress::string", kIllegal,
       "Unknown address types cannot be serialized.");
}

std::string CIPAddress::fat_string() const {
  char buffer[40];
  if (addressType_ == kIPv4) {
    std::snprintf(buffer, sizeof buffer, "%03u.%03u.%03u.%03u", v4_[0], v4_[1], v4_[2], v4_[3]);
    return buffer;
  }
  if (addressType_ == kIPv6) {
    char* out = buffer;
    for (int group = 0; group < 8; ++group) {
      const unsigned value = (v6_[2 * group] << 8) | v6_[2 * group + 1];
      out += std::snprintf(out, 6, group == 0 ? "%04x" : ":%04x", value);
    }
    return buffer;
  }
  fail(CRaiser::of(*this), kModule, "CIPAddress::fat_string", kIllegal,
       "Unknown address types cannot be serialized.");
}

int CIPAddress::addr_family() const {
  if (addressType_ == kIPv4) return AF_INET;
  if (addressType_ == kIPv6) return AF_INET6;
  fail(CRaiser::of(*this), kModule, "CIPAddress::addr_family", kIllegal,
       "Unknown address types do not have an address family.");
}

const unsigned char* CIPAddress::raw_addr() const {
  if (addressType_ == kNone) {
    fail(CRaiser::of(*this), kModule, "CIPAddress::raw_addr", kIllegal,
         "Unknown address types cannot provide raw address values.");
  }
  return bytes();
}

std::uint32_t CIPAddress::v4value() const {
  if (addressType_ == kNone) return 0;
  const unsigned char* b = bytes() + raw_len() - 4;
  return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
         std::uint32_t{b[3]};
}

void CIPAddress::set_inaddr_any() {
  if (addressType_ == kNone) {
    fail(CRaiser::of(*this), kModule, "CIPAddress::set_inaddr_any", kIllegal,
         "Unknown address types do not have an 'any' value.");
  }
  std::memset(bytes(), 0, raw_len());
}

void CIPAddress::setLoopback() {
  if (addressType_ == kNone) {
    fail(CRaiser::of(*this), kModule, "CIPAddress::setLoopback", kIllegal,
         "Unknown address types do not have a loopback value.");
  }
  std::memset(bytes(), 0, raw_len());
  if (addressType_ == kIPv4) {
    v4_[0] = 127;
    v4_[3] = 1;
  } else {
    v6_[15] = 1;
  }
}

bool CIPAddress::operator==(const CIPAddress& other) const {
  return addressType_ == other.addressType_ && std::memcmp(bytes(), other.bytes(), raw_len()) == 0;
}

bool CIPAddress::operator>(const CIPAddress& other) const {
  if (addressType_ == kNone || other.addressType_ == kNone) {
    fail(CRaiser::of(*this), kModule, "CIPAddress::operator>", kIllegal,
         "Cannot compare ip addresses of unknown type.");
  }
  if (addressType_ != other.addressType_) return addressType_ == kIPv6;
  return std::memcmp(bytes(), other.bytes(), raw_len()) > 0;
}

bool CIPAddress::operator<(const CIPAddress& other) const {
  return !(*this > other) && !(*this == other);
}

bool CIPAddress::operator<=(const CIPAddress& other) const {
  return !(*this > other);
}

bool CIPAddress::operator>=(const CIPAddress& other) const {
  return !(*this < other);
}

void CIPAddress::_checkSameType(const CIPAddress& other, const char* operation) const {
  if (addressType_ != other.addressType_) {
    fail(CRaiser::of(*this), kModule, operation, kIllegal, "Type mismatch between ip addresses.");
  }
}

CIPAddress& CIPAddress::operator+=(const CIPAddress& other) {
  _checkSameType(other, "CIPAddress::operator+=");
  if (addressType_ == kIPv4) addWrapping(v4_, other.v4_);
  if (addressType_ == kIPv6) addWrapping(v6_, other.v6_);
  return *this;
}

CIPAddress& CIPAddress::operator-=(const CIPAddress& other) {
  _checkSameType(other, "CIPAddress::operator-=");
  if (addressType_ == kIPv4) subtractWrapping(v4_, other.v4_);
  if (addressType_ == kIPv6) subtractWrapping(v6_, other.v6_);
  return *this;
}

CIPAddress CIPAddress::operator+(const CIPAddress& other) const {
  CIPAddress result(*this);
  result += other;
  return result;
}

CIPAddress CIPAddress::operator-(const CIPAddress& other) const {
  CIPAddress result(*this);
  result -= other;
  return result;
}

CIPAddress& CIPAddress::operator++() {
  unsigned char* a = bytes();
  for (std::size_t i = raw_len(); i-- > 0;) {
    if (++a[i] != 0) break;
  }
  return *this;
}

CIPAddress& CIPAddress::operator|=(const CIPAddress& other) {
  _checkSameType(other, "CIPAddress::operator|=");
  for (std::size_t i = 0; i < raw_len(); ++i)
    bytes()[i] |= other.bytes()[i];
  return *this;
}

CIPAddress& CIPAddress::operator&=(const CIPAddress& other) {
  _checkSameType(other, "CIPAddress::operator&=");
  for (std::size_t i = 0; i < raw_len(); ++i)
    bytes()[i] &= other.bytes()[i];
  return *this;
}

CIPAddress& CIPAddress::operator^=(const CIPAddress& other) {
  _checkSameType(other, "CIPAddress::operator^=");
  for (std::size_t i = 0; i < raw_len(); ++i)
    bytes()[i] ^= other.bytes()[i];
  return *this;
}

CIPAddress CIPAddress::operator|(const CIPAddress& other) const {
  CIPAddress result(*this);
  result |= other;
  return result;
}

CIPAddress CIPAddress::operator&(const CIPAddress& other) const {
  CIPAddress result(*this);
  result &= other;
  return result;
}

CIPAddress CIPAddress::operator^(const CIPAddress& other) const {
  CIPAddress result(*this);
  result ^= other;
  return result;
}

CIPAddress CIPAddress::operator~() const {
  CIPAddress result(*this);
  unsigned char* a = result.bytes();
  for (std::size_t i = 0; i < raw_len(); ++i)
    a[i] = static_cast<unsigned char>(~a[i]);
  return result;
}

CIPAddress CIPAddress::createPrefix(std::uint32_t bits) const {
  const std::size_t total = raw_len() * 8;
  if (bits > total) {
    fail(CRaiser::of(*this), kModule, "CIPAddress::createPrefix",
         "Cannot create prefix from ip address.", {"Address contains less than %1 bits.", bits});
  }
  CIPAddress result(*this);
  unsigned char* a = result.bytes();
  for (std::size_t i = bits / 8; i < raw_len(); ++i) {
    const std::size_t keep = i == bits / 8 ? bits % 8 : 0;
    a[i] &= static_cast<unsigned char>(0xff00u >> keep);
  }
  return result;
}

bool CIPAddress::isV4Mapped() const {
  return addressType_ == kIPv6 && std::memcmp(v6_.data(), kV4MappedPrefix, 12) == 0;
}

void CIPAddress::mapTo(std::uint32_t addressType) {
  if (addressType == addressType_) return;
  if (addressType_ == kNone || (addressType != kIPv4 && addressType != kIPv6)) {
    fail(CRaiser::of(*this), kModule, "CIPAddress::mapTo", kIllegal,
         "Unknown address type cannot be mapped to another type.");
  }
  if (addressType == kIPv4) {
    if (!isV4Mapped()) {
      fail(CRaiser::of(*this), kModule, "CIPAddress::mapTo",
           {"Cannot map address %1 to ipv4.", string()}, "Address is not a v6-mapped-v4 address.");
    }
    std::memcpy(v4_.data(), v6_.data() + 12, 4);
  } else {
    std::memcpy(v6_.data(), kV4MappedPrefix, 12);
    std::memcpy(v6_.data() + 12, v4_.data(), 4);
  }
  addressType_ = addressType;
}

bool CIPAddress::isMulticast() const {
  if (addressType_ == kIPv4) return v4_[0] >= 224 && v4_[0] <= 239;
  if (addressType_ == kIPv6) return v6_[0] == 0xff;
  return false;
}

std::uint32_t CIPAddress::prefixLenFromMask(const CIPAddress& mask) {
  const std::size_t length = mask.raw_len();
  const unsigned char* b = mask.bytes();
  std::uint32_t ones = 0;
  for (std::size_t i = 0; i < length; ++i) {
    for (unsigned bit = b[i]; bit != 0; bit &= bit - 1)
      ++ones;
  }
  // The 1 bits must be exactly the first `ones` bits of the mask.
  bool contiguous = length != 0;
  for (std::size_t i = 0; contiguous && i < length; ++i) {
    const std::size_t before = i * 8;
    const unsigned expected =
        ones >= before + 8 ? 0xffu : (ones <= before ? 0u : (0xff00u >> (ones - before)) & 0xffu);
    contiguous = b[i] == expected;
  }
  if (!contiguous) {
    fail(CRaiser::none(), kModule, "CIPAddress::prefixLenFromMask",
         "Cannot calculate prefix length from subnet mask.", "Subnet mask is invalid.");
  }
  return ones;
}

}  // namespace qvt
