// OptionAttributesFuzz: arbitrary option definition text, as a definition
// file or a host hands it over. The input up to its first NUL byte is read
// as one attribute text (COptionAttributes) and as a definition file
// (COptionDictionary); what follows the NUL byte is decoded as a DHCPv4 and
// a DHCPv6 message with that dictionary, so hostile definitions meet
// arbitrary wire data.
//
// Checked beyond "no crash": a definition written as text and read back
// writes the same text again.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "class_b/dhcp/dhcp_base/COptionAttributes.h"
#include "host/CDhcp4Decoder.h"
#include "host/CDhcp6Decoder.h"

namespace {

// checkRoundTrip: traps when definition's text, read back, writes another.
void checkRoundTrip(const qvt::COptionAttributes& definition) {
  std::string written;
  try {
    written = definition.string();
  } catch (const qvt::CException&) {
    return;  // a state that has no text form
  }
  qvt::COptionAttributes again;
  again.string(written);
  if (again.string() != written) __builtin_trap();
}

template <class Decoder>
void decode(const Decoder& decoder, const std::uint8_t* data, std::size_t size) {
  try {
    qvt::fuzz::walk(*decoder.decode(data, size).get());
  } catch (const qvt::CException&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto* end = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
  const std::size_t textSize = end ? static_cast<std::size_t>(end - data) : size;
  const std::string text(reinterpret_cast<const char*>(data), textSize);
  try {
    qvt::COptionAttributes definition;
    definition.string(text);
    checkRoundTrip(definition);
  } catch (const qvt::CException&) {
  }
  qvt::COptionDictionary dictionary;
  try {
    dictionary.loadText(text);
  } catch (const qvt::CException&) {
  }
  for (const auto& entry : dictionary.definitions())
    checkRoundTrip(entry.second);
  if (end == nullptr) return 0;
  const std::uint8_t* payload = end + 1;
  const std::size_t payloadSize = size - textSize - 1;
  decode(qvt::host::CDhcp4Decoder(dictionary), payload, payloadSize);
  decode(qvt::host::CDhcp6Decoder(dictionary), payload, payloadSize);
  return 0;
}
