#include "RawConditions.h"

#include <cstring>
#include <string_view>

namespace keabench {
namespace {

constexpr std::size_t kHlen = 2;
constexpr std::size_t kGiaddr = 24;
constexpr std::size_t kChaddr = 28;
constexpr std::size_t kCookie = 236;
constexpr std::size_t kOptions = 240;
constexpr std::uint8_t kMagicCookie[] = {99, 130, 83, 99};
constexpr std::uint8_t kPad = 0;
constexpr std::uint8_t kEnd = 255;

// An option's data; empty view and found false when absent.
struct CField {
  bool found = false;
  std::string_view data;
};

std::string_view view(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// walkOptions: calls visit(code, data) for each option of area, in order;
// false when an option runs past the end of area.
template <class Visit>
bool walkOptions(std::string_view area, Visit&& visit) {
  std::size_t at = 0;
  while (at < area.size()) {
    const auto code = static_cast<std::uint8_t>(area[at]);
    if (code == kEnd) break;
    if (code == kPad) {
      ++at;
      continue;
    }
    if (at + 2 > area.size()) return false;
    const auto length = static_cast<std::uint8_t>(area[at + 1]);
    if (at + 2 + length > area.size()) return false;
    visit(code, area.substr(at + 2, length));
    at += 2 + length;
  }
  return true;
}

// keepFirst: field takes data unless an earlier instance was kept.
void keepFirst(CField& field, std::string_view data) {
  if (!field.found) field = {true, data};
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

CConditions rawConditions(const std::uint8_t* data, std::size_t size) noexcept {
  CConditions result{};
  if (size < kOptions || std::memcmp(data + kCookie, kMagicCookie, sizeof kMagicCookie) != 0) {
    return result;
  }
  const std::string_view options = view(data + kOptions, size - kOptions);
  CField messageType, vendorClass, relay, circuitId, remoteId;
  const bool wellFormed = walkOptions(options, [&](std::uint8_t code, std::string_view value) {
    if (code == 53) keepFirst(messageType, value);
    if (code == 60) keepFirst(vendorClass, value);
    if (code == 82) keepFirst(relay, value);
  });
  if (!wellFormed) return result;
  const bool relayWellFormed =
      walkOptions(relay.data, [&](std::uint8_t code, std::string_view value) {
        if (code == 1) keepFirst(circuitId, value);
        if (code == 2) keepFirst(remoteId, value);
      });
  if (!relayWellFormed) circuitId = remoteId = CField();

  const bool docsis = vendorClass.found && startsWith(vendorClass.data, "docsis");
  const bool pktc = vendorClass.found && startsWith(vendorClass.data, "pktc");
  static constexpr std::uint8_t kMac[] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
  static constexpr std::uint8_t kRemoteId[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
  static constexpr std::uint8_t kGiaddrValue[] = {10, 0, 0, 1};

  result[0] = docsis;
  result[1] = data[kHlen] == sizeof kMac && std::memcmp(data + kChaddr, kMac, sizeof kMac) == 0;
  result[2] = circuitId.found && circuitId.data == "port1";
  result[3] = docsis || pktc;
  result[4] = messageType.found && messageType.data.size() == 1 && messageType.data[0] == 1 &&
              remoteId.found && remoteId.data == view(kRemoteId, sizeof kRemoteId) &&
              std::memcmp(data + kGiaddr, kGiaddrValue, sizeof kGiaddrValue) == 0;
  return result;
}

}  // namespace keabench
