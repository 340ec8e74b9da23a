#include "class_a/standard/CProtocolFamily.h"

#include <sys/socket.h>

#include "class_a/standard/Fail.h"

namespace qvt {

namespace {
constexpr const char* kModule = "standard";
}  // namespace

CProtocolFamily::CProtocolFamily(std::uint32_t code) {
  this->code(code);
}

void CProtocolFamily::code(std::uint32_t value) {
  _checkValidity(value);
  code_ = value;
}

void CProtocolFamily::_checkValidity(std::uint32_t code) const {
  if (code != kUnspecified && code != kNone && code != kIPv4 && code != kIPv6) {
    fail(CRaiser::of(*this), kModule, "CProtocolFamily::_checkValidity",
         "Cannot set protocol family.", {"Unknown protocol family '%1'.", code});
  }
}

CProtocolFamily CProtocolFamily::proto(int osFamily) {
  if (osFamily == 0) return CProtocolFamily(kUnspecified);
  if (osFamily == AF_INET) return CProtocolFamily(kIPv4);
  if (osFamily == AF_INET6) return CProtocolFamily(kIPv6);
  fail(CRaiser::none(), kModule, "CProtocolFamily::proto",
       {"Cannot map protocol family '%1'.", osFamily}, "Invalid protocol family.");
}

int CProtocolFamily::pf_inet() const {
  if (code_ == kIPv4) return AF_INET;
  if (code_ == kIPv6) return AF_INET6;
  if (code_ == kUnspecified) return 0;
  fail(CRaiser::of(*this), kModule, "CProtocolFamily::pf_inet",
       {"Cannot map protocol family '%1'.", code_}, "Unknown protocol family.");
}

void CProtocolFamily::string(const std::string& text) {
  if (text == "4") {
    code_ = kIPv4;
  } else if (text == "6") {
    code_ = kIPv6;
  } else if (text == "none") {
    code_ = kNone;
  } else if (text.empty()) {
    code_ = kUnspecified;
  } else {
    fail(CRaiser::of(*this), kModule, "CProtocolFamily::string",
         {"Cannot set protocol family '%1'.", text}, "Unknown protocol family.");
  }
}

std::string CProtocolFamily::string() const {
  switch (code_) {
    case kNone:
      return "none";
    case kIPv4:
      return "4";
    case kIPv6:
      return "6";
    default:
      return std::string();
  }
}

std::size_t CProtocolFamily::addressSize(const CProtocolFamily& family) {
  if (family.code_ == kIPv4) return 4;
  if (family.code_ == kIPv6) return 16;
  fail(CRaiser::none(), kModule, "CProtocolFamily::addressSize", "Cannot determine address size.",
       {"Invalid or unknown protocol type '%1'.", family.code_});
}

std::size_t CProtocolFamily::addressSizeOs(int osFamily) {
  if (osFamily == AF_INET) return 4;
  if (osFamily == AF_INET6) return 16;
  fail(CRaiser::none(), kModule, "CProtocolFamily::addressSize", "Cannot determine address size.",
       {"Unknown protocol family '%1'.", osFamily});
}

}  // namespace qvt
