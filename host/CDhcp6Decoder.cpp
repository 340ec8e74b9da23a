#include "host/CDhcp6Decoder.h"

#include <cstdint>
#include <string>

#include "host/CByteReader.h"
#include "host/CDhcpOptionReader.h"
#include "host/CHostOptionFactory.h"
#include "host/COptionDictionary.h"

namespace qvt::host {

namespace {

const CDecodeSite kSite{"CDhcp6Decoder::decode", "Cannot decode DHCPv6 message."};

constexpr std::uint8_t kRelayForward = 12;
constexpr std::uint8_t kRelayReply = 13;
constexpr std::uint32_t kRelayMessage = 9;
constexpr std::size_t kMessageHeader = 4;
constexpr std::size_t kRelayHeader = 34;

constexpr std::uint32_t kRelayEntry = static_cast<std::uint32_t>(-250);
constexpr std::uint32_t kPeerAddress = static_cast<std::uint32_t>(-251);
constexpr std::uint32_t kLinkAddress = static_cast<std::uint32_t>(-252);
constexpr std::uint32_t kMessageType = static_cast<std::uint32_t>(-253);
constexpr std::uint32_t kHopCount = static_cast<std::uint32_t>(-254);
constexpr std::uint32_t kTransactionId = static_cast<std::uint32_t>(-255);

using CPlace = CDhcpOptionReader::CPlace;

CByteReader slice(const CByteReader& message, std::size_t offset, std::size_t length) {
  CByteReader bytes = message;
  bytes.skip(offset);
  return bytes.sub(length);
}

struct CShipped {
  COptionDictionary dictionary;
  CDhcp6Decoder decoder{dictionary};
  CShipped() { dictionary.load(COptionDictionary::defaultDirectory(), "dhcp6.defs"); }
};

}  // namespace

const CDhcp6Decoder& CDhcp6Decoder::shipped() {
  static const CShipped shipped;
  return shipped.decoder;
}

CGeneralPtr<COption> CDhcp6Decoder::decode(const unsigned char* data, std::size_t size) const {
  const CDhcpOptionReader reader(dictionary_, 6, kSite);
  CByteReader message(data, size, kSite);
  CGeneralPtr<COption> root = makeMessageRoot(6);
  CGeneralPtr<COption> outermost;  // the relay entry nearest the server
  COption* innermost = nullptr;    // the last relay entry so far
  CTagPath entryPath;
  int depth = 0;
  // Relay by relay, from the server's side towards the client's message.
  while (!message.empty() && (message.peek() == kRelayForward || message.peek() == kRelayReply)) {
    const char* what = depth == 0 ? "The packet" : "The relayed message";
    const char* area = depth == 0 ? "the packet" : "the relayed message";
    const std::size_t entryOffset = message.offset();
    if (depth == kMaxRelayDepth) {
      reader.failMalformed({"Relay message at offset %1 is nested deeper than %2 levels.",
                            entryOffset, kMaxRelayDepth});
    }
    if (!message.has(kRelayHeader)) {
      reader.failMalformed({"%1 ends at offset %2, inside the relay header of %3 bytes.", what,
                            message.end(), kRelayHeader});
    }
    entryPath.push_back(kRelayEntry);
    COptionAttributes definition = dictionary_.definitionOrBytes(CTagPath(kRelayEntry));
    definition.setType(COptionType(COptionType::eSubencoded));
    definition.setTagPath(entryPath);
    CGeneralPtr<COption> entry = makeOption(definition);
    entry->setWireSpan(entryOffset, message.remaining());
    auto addField = [&](std::uint32_t tag, std::size_t offset, std::size_t length) {
      CPlace place{entryPath, CTagPath(kRelayEntry), 0};
      place = place.below(tag);
      entry->addChild(reader.decode(place, slice(message, offset, length), entryOffset + offset));
    };
    addField(kMessageType, 0, 1);
    addField(kHopCount, 1, 1);
    addField(kLinkAddress, 2, 16);
    addField(kPeerAddress, 18, 16);

    CByteReader options = slice(message, kRelayHeader, message.remaining() - kRelayHeader);
    bool haveInner = false;
    CByteReader inner = options;
    while (!options.empty()) {
      CDhcpOptionReader::CRawOption raw = reader.nextOption(options, 2, 2, "Option", area);
      if (raw.tag == kRelayMessage) {
        if (haveInner) {
          reader.failMalformed(
              {"Relay message at offset %1 carries more than one relay "
               "message option (9).",
               entryOffset});
        }
        haveInner = true;
        inner = raw.data;
        continue;
      }
      CPlace place{entryPath, CTagPath(), 0};
      place.path.push_back(raw.tag);
      place.definitionPath.push_back(raw.tag);
      entry->addChild(reader.decode(place, raw.data, raw.offset));
    }
    if (!haveInner) {
      reader.failMalformed(
          {"Relay message at offset %1 carries no relay message option (9).", entryOffset});
    }
    if (innermost == nullptr) {
      outermost = entry;
      const CTagPath hops(kHopCount);
      root->addChild(reader.decode({hops, hops, 0}, slice(message, 1, 1), entryOffset + 1));
    } else {
      innermost->addChild(entry);
    }
    innermost = entry.get();
    message = inner;
    ++depth;
  }

  if (!message.has(kMessageHeader)) {
    reader.failMalformed({"%1 ends at offset %2, inside the message header of %3 bytes.",
                          depth == 0 ? "The packet" : "The relayed message", message.end(),
                          kMessageHeader});
  }
  const std::size_t start = message.offset();
  auto addTop = [&](std::uint32_t tag, const CByteReader& bytes, std::size_t offset) {
    const CTagPath path(tag);
    root->addChild(reader.decode({path, path, 0}, bytes, offset));
  };
  addTop(kMessageType, slice(message, 0, 1), start);
  addTop(kTransactionId, slice(message, 1, 3), start + 1);
  CByteReader options = slice(message, kMessageHeader, message.remaining() - kMessageHeader);
  const char* area = depth == 0 ? "the packet" : "the relayed message";
  while (!options.empty()) {
    CDhcpOptionReader::CRawOption raw = reader.nextOption(options, 2, 2, "Option", area);
    addTop(raw.tag, raw.data, raw.offset);
  }
  if (outermost) root->addChild(outermost);
  return root;
}

}  // namespace qvt::host
