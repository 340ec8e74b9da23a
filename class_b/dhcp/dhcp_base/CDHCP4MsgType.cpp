#include "class_b/dhcp/dhcp_base/CDHCP4MsgType.h"

#include "class_a/standard/Fail.h"
#include "class_b/dhcp/dhcp_base/TextCase.h"

namespace qvt {

namespace {

struct CTypeName {
  std::int32_t value;
  const char* name;
};

// In lookup order; "unknown" is last and only ever written.
constexpr CTypeName kNames[] = {
    {CDHCP4MsgType::eDiscover, "discover"},
    {CDHCP4MsgType::eOffer, "offer"},
    {CDHCP4MsgType::eRequest, "request"},
    {CDHCP4MsgType::eDecline, "decline"},
    {CDHCP4MsgType::eAck, "ack"},
    {CDHCP4MsgType::eNak, "nak"},
    {CDHCP4MsgType::eRelease, "release"},
    {CDHCP4MsgType::eInform, "inform"},
    {CDHCP4MsgType::eForceRenew, "force-renew"},
    {CDHCP4MsgType::eLeaseQuery, "lease-query"},
    {CDHCP4MsgType::eLeaseUnassigned, "lease-unassigned"},
    {CDHCP4MsgType::eLeaseUnknown, "lease-unknown"},
    {CDHCP4MsgType::eLeaseActive, "lease-active"},
    {CDHCP4MsgType::eBootpRequest, "bootp-request"},
    {CDHCP4MsgType::eBootpReply, "bootp-reply"},
    {CDHCP4MsgType::eUnknown, "unknown"},
};

}  // namespace

CDHCP4MsgType::CDHCP4MsgType(std::int32_t value) : value_(value) {
  _checkValidity();
}

CDHCP4MsgType::CDHCP4MsgType(std::uint8_t value) : value_(value) {
  _checkValidity();
}

CDHCP4MsgType::~CDHCP4MsgType() = default;

void CDHCP4MsgType::set(std::uint8_t value) {
  const std::int32_t previous = value_;
  value_ = value;
  try {
    _checkValidity();
  } catch (...) {
    value_ = previous;
    throw;
  }
}

CDHCP4MsgType& CDHCP4MsgType::operator=(const std::string& text) {
  for (const CTypeName& entry : kNames) {
    if (entry.value == eUnknown) break;
    if (equalsIgnoringCase(text, entry.name)) {
      value_ = entry.value;
      return *this;
    }
  }
  fail(CRaiser::of(*this), "dhcp_base",
       "CDHCP4MsgType::operator=", "Cannot set dhcpv4 message type.",
       {"Invalid or unknown value '%1'.", text});
}

std::string CDHCP4MsgType::string() const {
  for (const CTypeName& entry : kNames) {
    if (entry.value == value_) return entry.name;
  }
  return "unknown";
}

void CDHCP4MsgType::_checkValidity() const {
  if (value_ > 0 && (value_ <= 13 || (value_ >= 253 && value_ <= 255))) return;
  fail(CRaiser::of(*this), "dhcp_base", "CDHCP4MsgType::_checkValidity",
       "Cannot set dhcpv4 message type.", {"Invalid or unknown value '%1'.", value_});
}

}  // namespace qvt
