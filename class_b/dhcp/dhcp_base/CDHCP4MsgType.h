// CDHCP4MsgType: the type of a DHCPv4 message: the codes 1 to 13 of the
// DHCP message type option, and 253 "bootp-request", 254 "bootp-reply" and
// 255 "unknown" for messages without that option.
//
//   CDHCP4MsgType type(std::uint8_t{5});
//   type.string();            // "ack"
//   type = "Bootp-Reply";     // 254 (names ignore case)
#pragma once

#include <cstdint>
#include <string>

#include "class_b/dhcp/dhcp_base/CDHCPMsgType.h"

namespace qvt {

class CDHCP4MsgType : public CDHCPMsgType {
 public:
  enum Value : std::int32_t {
    eDiscover = 1,
    eOffer = 2,
    eRequest = 3,
    eDecline = 4,
    eAck = 5,
    eNak = 6,
    eRelease = 7,
    eInform = 8,
    eForceRenew = 9,
    eLeaseQuery = 10,
    eLeaseUnassigned = 11,
    eLeaseUnknown = 12,
    eLeaseActive = 13,
    eBootpRequest = 253,
    eBootpReply = 254,
    eUnknown = 255,
  };

  // CDHCP4MsgType: 255 "unknown".
  CDHCP4MsgType() = default;
  // CDHCP4MsgType(value): raises as _checkValidity.
  explicit CDHCP4MsgType(std::int32_t value);
  explicit CDHCP4MsgType(std::uint8_t value);
  CDHCP4MsgType(const CDHCP4MsgType&) = default;
  CDHCP4MsgType& operator=(const CDHCP4MsgType&) = default;
  ~CDHCP4MsgType() override;

  // set: stores value, then raises as _checkValidity.
  void set(std::uint8_t value);
  // value: the stored code.
  std::uint8_t value() const { return static_cast<std::uint8_t>(value_); }

  // operator=(text): the code of a name of 1 to 13, 253 or 254, ignoring
  // case ("unknown" and numbers are refused). Raises "Cannot set dhcpv4
  // message type." ("Invalid or unknown value '%1'.") otherwise; the value is
  // then unchanged.
  CDHCP4MsgType& operator=(const std::string& text) override;
  // string: the name of the code.
  std::string string() const override;

  bool operator==(const CDHCP4MsgType& other) const { return value_ == other.value_; }
  bool operator!=(const CDHCP4MsgType& other) const { return value_ != other.value_; }

 private:
  // _checkValidity: raises "Cannot set dhcpv4 message type." ("Invalid or
  // unknown value '%1'.") unless the value is 1 to 13 or 253 to 255.
  void _checkValidity() const;

  std::int32_t value_ = eUnknown;
};

}  // namespace qvt
