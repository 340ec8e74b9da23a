#include "tools/dhcp-eval/CPacketSource.h"

#include "class_a/standard/Fail.h"
#include "host/CDhcp4Decoder.h"
#include "host/CHexPayload.h"

namespace qvt::tool {

namespace {

constexpr const char* kOpenOperation = "CPacketSource::CPacketSource";

// familyHint: how to reach the family of a message the command refused.
std::string familyHint(int family) {
  return family == 6 ? "Add -6 to evaluate DHCPv6 messages."
                     : "Leave out -6 to evaluate DHCPv4 messages.";
}

}  // namespace

CPacketSource::CPacketSource(const std::string& path, int family,
                             std::optional<std::uint64_t> frame)
    : path_(path), family_(family) {
  if (!host::CCaptureReader::isCaptureFile(path)) {
    _readHex(frame);
    return;
  }
  capture_ = std::make_unique<host::CCaptureReader>(path);
  if (frame) _findFrame(*frame);
}

CPacketSource::~CPacketSource() = default;

void CPacketSource::_readHex(std::optional<std::uint64_t> frame) {
  std::vector<unsigned char> payload = host::CHexPayload::readFile(path_);
  if (frame && *frame != 1) {
    fail(CRaiser::of(*this), "dhcp-eval", kOpenOperation,
         {"Frame %1 does not exist in '%2'.", *frame, path_},
         "A hex payload file holds one message, frame 1.");
  }
  // The family is the user's; only a payload that plainly belongs to the
  // other one is refused (a BOOTP message without the cookie stays DHCPv4).
  const bool hasCookie = host::CHexPayload::guessFamily(payload) == 4;
  if (family_ == 6 && hasCookie) {
    fail(CRaiser::of(*this), "dhcp-eval", kOpenOperation, {"'%1' holds a DHCPv4 message.", path_},
         familyHint(4));
  }
  if (family_ == 4 && payload.size() < host::CDhcp4Decoder::kHeaderSize) {
    fail(CRaiser::of(*this), "dhcp-eval", kOpenOperation, {"'%1' holds no DHCPv4 message.", path_},
         {"It is %1 bytes long, shorter than a BOOTP header (236 bytes); add -6 for a DHCPv6 "
          "message.",
          static_cast<std::uint32_t>(payload.size())});
  }
  pending_ = CPacket{1, std::move(payload)};
  single_ = true;
}

void CPacketSource::_findFrame(std::uint64_t frame) {
  host::CCapturedPacket packet;
  while (capture_->next(packet)) {
    if (packet.frame < frame) continue;
    if (packet.frame > frame) break;
    if (packet.family != family_) {
      fail(CRaiser::of(*this), "dhcp-eval", kOpenOperation,
           {"Frame %1 of '%2' is a %3 message.", frame, path_, familyName(packet.family)},
           familyHint(packet.family));
    }
    pending_ = CPacket{packet.frame, std::move(packet.payload)};
    single_ = true;
    return;
  }
  // The reader stops at the frame after the one asked for, or at the end.
  if (capture_->framesRead() >= frame) {
    fail(CRaiser::of(*this), "dhcp-eval", kOpenOperation,
         {"Frame %1 of '%2' is not a DHCP message.", frame, path_},
         "It carries no UDP datagram to or from port 67, 68, 546 or 547.");
  }
  fail(CRaiser::of(*this), "dhcp-eval", kOpenOperation,
       {"Frame %1 does not exist in '%2'.", frame, path_},
       {"The capture holds %1 frames.", capture_->framesRead()});
}

bool CPacketSource::next(CPacket& packet) {
  if (single_) {
    if (!pending_) return false;
    packet = std::move(*pending_);
    pending_.reset();
    ++delivered_;
    return true;
  }
  host::CCapturedPacket captured;
  while (capture_->next(captured)) {
    if (captured.family != family_) {
      ++otherFamily_;
      continue;
    }
    packet.frame = captured.frame;
    packet.payload = std::move(captured.payload);
    ++delivered_;
    return true;
  }
  return false;
}

CException CPacketSource::noPacketError() const {
  const CMessage description("'%1' holds no %2 message.", path_, familyName(family_));
  const CMessage reason =
      otherFamily_ == 0
          ? CMessage("It holds no DHCP message.")
          : CMessage(family_ == 4 ? "It holds %1 DHCPv6 messages; add -6 to evaluate them."
                                  : "It holds %1 DHCPv4 messages; leave out -6 to evaluate them.",
                     otherFamily_);
  return makeException(CRaiser::of(*this), "dhcp-eval", "CPacketSource::next", description, reason,
                       0, kSeverityError, CSourceLocation::current());
}

std::string CPacketSource::familyName(int family) {
  return family == 6 ? "DHCPv6" : "DHCPv4";
}

}  // namespace qvt::tool
