#include "host/CDhcpOptionReader.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "class_a/standard/CEndpoint.h"
#include "class_a/standard/CHexStore.h"
#include "class_a/standard/CIPAddress.h"
#include "class_a/standard/CTimeT.h"
#include "class_a/standard/Fail.h"
#include "host/CHostOptionBase.h"
#include "host/CHostOptionFactory.h"
#include "host/COptionDictionary.h"

namespace qvt::host {

namespace {

constexpr std::size_t kMaxWidth = 4;
constexpr std::size_t kMaxNameLength = 255;
constexpr std::uint32_t kVendorOptions6 = 17;

// carried: whether a packet carries options of the type code as such;
// those of the other types ("topencoded", "control", "expression",
// "unknown" and codes beyond the table) are read as byte sequences.
bool carried(std::uint32_t typeCode) noexcept {
  switch (typeCode) {
    case COptionType::eTopencoded:
    case COptionType::eControl:
    case COptionType::eExpression:
    case COptionType::eUnknown:
      return false;
    default:
      return typeCode <= COptionType::eIPEndpoint;
  }
}

template <class T>
void push(COption& option, T value) {
  option.storage<T>().push_back(std::move(value));
}

}  // namespace

CDhcpOptionReader::CPlace CDhcpOptionReader::CPlace::below(std::uint32_t tag) const {
  CPlace place{path, definitionPath, enterprise};
  place.path.push_back(tag);
  place.definitionPath.push_back(tag);
  return place;
}

void CDhcpOptionReader::failMalformed(const CMessage& reason) const {
  fail(CRaiser::of(*this), "host", site_.operation, site_.description, reason);
}

CDhcpOptionReader::CRawOption CDhcpOptionReader::nextOption(CByteReader& area, std::size_t tagWidth,
                                                            std::size_t lengthWidth,
                                                            const char* kind,
                                                            const std::string& areaName) const {
  return _nextOption(area, tagWidth, lengthWidth, kind, [&areaName] { return areaName; });
}

template <class AreaName>
CDhcpOptionReader::CRawOption CDhcpOptionReader::_nextOption(CByteReader& area,
                                                             std::size_t tagWidth,
                                                             std::size_t lengthWidth,
                                                             const char* kind,
                                                             const AreaName& areaName) const {
  const std::size_t offset = area.offset();
  if (!area.has(tagWidth + lengthWidth)) {
    failMalformed(
        {"%1 at offset %2 runs past the end of %3 (%4 bytes left, its code and length "
         "need %5).",
         kind, offset, areaName(), area.remaining(), tagWidth + lengthWidth});
  }
  const auto tag = static_cast<std::uint32_t>(area.number(tagWidth));
  const std::uint64_t length = area.number(lengthWidth);
  if (!area.has(length)) {
    failMalformed({"%1 %2 at offset %3 runs past the end of %4 (length %5, %6 bytes left).", kind,
                   tag, offset, areaName(), length, area.remaining()});
  }
  return CRawOption{tag, offset, area.sub(length)};
}

void CDhcpOptionReader::decodeSubOptions(COption& parent, const CPlace& place, CByteReader area,
                                         std::size_t tagWidth, std::size_t lengthWidth,
                                         int depth) const {
  const auto areaName = [&place] { return "option " + place.path.string(); };
  while (!area.empty()) {
    CRawOption raw = _nextOption(area, tagWidth, lengthWidth, "Sub-option", areaName);
    parent.addChild(decode(place.below(raw.tag), raw.data, raw.offset, depth));
  }
}

COption::Ptr CDhcpOptionReader::_make(const CPlace& place) const {
  const COptionAttributes* found = dictionary_.find(place.definitionPath, place.enterprise);
  if (found != nullptr && carried(found->type().code()) && found->tagPath() == place.path) {
    return makeOption(COption::CSharedDefinition{found});
  }
  COptionAttributes definition =
      found != nullptr ? *found : dictionary_.definitionOrBytes(place.definitionPath);
  // Types a packet cannot carry as such: their bytes are kept.
  if (!carried(definition.type().code())) {
    definition.setType(COptionType(COptionType::eByteSequence));
  }
  definition.setTagPath(place.path);
  return makeOption(definition);
}

COption::Ptr CDhcpOptionReader::decode(const CPlace& place, CByteReader data, std::size_t tagOffset,
                                       int depth) const {
  if (depth > kMaxDepth) {
    failMalformed({"Option %1 at offset %2 is nested deeper than %3 levels.", place.path.string(),
                   tagOffset, kMaxDepth});
  }
  COption::Ptr holder = _make(place);
  COption& option = *holder.get();
  const COptionAttributes& definition = std::as_const(option).attributes();
  option.setWireSpan(tagOffset, data.remaining());
  // Every option makeOption makes is a host option.
  static_cast<CHostOptionBase&>(option).setRaw(data.current(), data.remaining());

  // The place of the sub-options: place itself, but below option 17 the
  // vendor-specific definitions belong to the enterprise number its data
  // starts with.
  const CPlace* scope = &place;
  CPlace vendorScope;
  if (family_ == 6 && place.definitionPath.depth() == 1 &&
      place.definitionPath[0] == kVendorOptions6 && data.has(4)) {
    vendorScope = place;
    vendorScope.enterprise = static_cast<std::int32_t>(CByteReader(data).u32());
    scope = &vendorScope;
  }

  const CElementAttributes& elements = definition.elementAttributes();
  const CFixedOffsetStorage& fields = definition.fixedOffsets();
  std::size_t fieldsEnd = 0;
  if (!fields.empty()) {
    const std::size_t size = data.remaining();
    for (const auto& [tag, field] : fields) {
      const std::size_t offset = field.offset();
      const std::size_t length =
          field.length() == 0 ? size - std::min(offset, size) : field.length();
      if (offset > size || length > size - offset) {
        failMalformed(
            {"Option %1 at offset %2 has %3 bytes of data, too few for its field %4 "
             "(offset %5, length %6).",
             place.path.string(), tagOffset, size, tag, field.offset(), field.length()});
      }
      CByteReader bytes = data;
      bytes.skip(offset);
      CByteReader fieldData = bytes.sub(length);
      fieldsEnd = std::max(fieldsEnd, offset + length);
      option.addChild(decode(scope->below(tag), fieldData, fieldData.offset(), depth + 1));
    }
  }

  switch (option.typeCode()) {
    case COptionType::eSubencoded: {
      std::size_t tagWidth = elements.subtagWidth();
      std::size_t lengthWidth = elements.sublenWidth();
      if (tagWidth == 0) tagWidth = family_ == 4 ? 1 : 2;
      if (lengthWidth == 0) lengthWidth = family_ == 4 ? 1 : 2;
      if (tagWidth > kMaxWidth || lengthWidth > kMaxWidth) {
        failMalformed(
            {"Option %1 has sub-option codes of %2 bytes and lengths of %3 bytes; at "
             "most %4 bytes are supported.",
             place.path.string(), tagWidth, lengthWidth, kMaxWidth});
      }
      data.skip(fieldsEnd);
      decodeSubOptions(option, *scope, data, tagWidth, lengthWidth, depth + 1);
      break;
    }
    case COptionType::eFixedOffset:
      break;
    default:
      if (!fields.empty()) {
        // The option's own elements are those of its last field.
        const CFixedRawOffset& last = std::prev(fields.end())->second;
        const std::size_t size = data.remaining();
        data.skip(last.offset());
        data = data.sub(last.length() == 0 ? size - last.offset() : last.length());
      }
      _decodeElements(option, place, data, tagOffset);
  }
  return holder;
}

std::size_t CDhcpOptionReader::_elementSize(std::uint32_t typeCode) const {
  const std::size_t address = family_ == 4 ? 4 : 16;
  switch (typeCode) {
    case COptionType::e8bit:
    case COptionType::eBoolean:
      return 1;
    case COptionType::e16bit:
      return 2;
    case COptionType::e24bit:
      return 3;
    case COptionType::e32bit:
    case COptionType::eTime:
      return 4;
    case COptionType::e64bit:
      return 8;
    case COptionType::e128bit:
      return 16;
    case COptionType::eIPAddress:
      return address;
    case COptionType::eIPEndpoint:
      return address + 2;
    default:
      return 0;  // variable: strings, names, byte sequences
  }
}

void CDhcpOptionReader::_decodeElements(COption& option, const CPlace& place, CByteReader data,
                                        std::size_t tagOffset) const {
  const CElementAttributes& attributes = std::as_const(option).attributes().elementAttributes();
  const COptionType& type = option.type();
  const std::size_t size = _elementSize(type.code());
  const std::size_t prefix = attributes.lenPrefixWidth();
  const bool name = type.code() == COptionType::eDNSName;
  // The path's text is made only for an error message.
  const auto path = [&place] { return place.path.string(); };
  const CByteReader whole = data;
  if (prefix > kMaxWidth) {
    failMalformed({"Option %1 has length prefixes of %2 bytes; at most %3 bytes are supported.",
                   path(), prefix, kMaxWidth});
  }
  auto nextItem = [&]() {
    const std::size_t at = data.offset();
    if (!data.has(prefix)) {
      failMalformed(
          {"Item at offset %1 of option %2 is cut short (%3 bytes left, its length "
           "needs %4).",
           at, path(), data.remaining(), prefix});
    }
    const std::uint64_t length = data.number(prefix);
    if (!data.has(length)) {
      failMalformed(
          {"Item at offset %1 of option %2 runs past the end of the option (length %3, "
           "%4 bytes left).",
           at, path(), length, data.remaining()});
    }
    CByteReader item = data.sub(length);
    if (size != 0 && length != size) {
      failMalformed({"Item at offset %1 of option %2 has %3 bytes; type %4 needs %5.", at, path(),
                     length, type.string(), size});
    }
    return item;
  };
  auto failTrailing = [&]() {
    failMalformed({"Option %1 at offset %2 has %3 bytes after its value.", path(), tagOffset,
                   data.remaining()});
  };

  if (attributes.arrayed()) {
    if (prefix == 0 && size != 0 && data.remaining() % size != 0) {
      failMalformed(
          {"Option %1 at offset %2 has %3 bytes of data, not a whole number of %4-byte "
           "%5 elements.",
           path(), tagOffset, data.remaining(), size, type.string()});
    }
    while (!data.empty()) {
      if (prefix != 0) {
        _decodeElement(option, place, nextItem(), whole);
      } else if (name) {
        push(option, _readName(place, data, whole));
      } else {
        _decodeElement(option, place, data.sub(size != 0 ? size : data.remaining()), whole);
      }
    }
    return;
  }
  if (prefix != 0) {
    _decodeElement(option, place, nextItem(), whole);
    if (!data.empty()) failTrailing();
  } else if (name) {
    push(option, _readName(place, data, whole));
    // Some clients pad a name with further zero bytes; those are accepted.
    while (!data.empty() && data.peek() == 0)
      data.skip(1);
    if (!data.empty()) failTrailing();
  } else {
    if (size != 0 && data.remaining() != size) {
      failMalformed({"Option %1 at offset %2 has %3 bytes of data; type %4 needs %5.", path(),
                     tagOffset, data.remaining(), type.string(), size});
    }
    _decodeElement(option, place, data, whole);
  }
}

void CDhcpOptionReader::_decodeElement(COption& option, const CPlace& place, CByteReader item,
                                       const CByteReader& whole) const {
  const CElementAttributes& attributes = std::as_const(option).attributes().elementAttributes();
  switch (option.typeCode()) {
    case COptionType::e8bit:
      return push(option, item.u8());
    case COptionType::e16bit:
      return push(option, item.u16());
    case COptionType::e24bit:
      return push(option, item.u24());
    case COptionType::e32bit:
      return push(option, item.u32());
    case COptionType::e64bit:
      return push(option, item.u64());
    case COptionType::eBoolean:
      return push(option, item.u8() != 0);
    case COptionType::eTime: {
      const std::uint32_t seconds = item.u32();
      return push(option, CTimeT(attributes.isSigned()
                                     ? static_cast<std::int64_t>(static_cast<std::int32_t>(seconds))
                                     : static_cast<std::int64_t>(seconds)));
    }
    case COptionType::eIPAddress: {
      CIPAddress address;
      address.set(item.take(item.remaining()), family_ == 4 ? 4 : 16);
      return push(option, address);
    }
    case COptionType::eIPEndpoint: {
      CIPAddress address;
      address.set(item.take(item.remaining() - 2), family_ == 4 ? 4 : 16);
      return push(option, CEndpoint(address, item.u16()));
    }
    case COptionType::eString: {
      std::size_t length = item.remaining();
      const auto* bytes = reinterpret_cast<const char*>(item.current());
      if (attributes.nullTerminated() && length != 0) {
        if (const void* nul = std::memchr(bytes, 0, length)) {
          length = static_cast<std::size_t>(static_cast<const char*>(nul) - bytes);
        }
      }
      return push(option, std::string(bytes, length));
    }
    case COptionType::eDNSName: {
      std::string text = _readName(place, item, whole);
      if (!item.empty()) {
        failMalformed({"Item at offset %1 of option %2 has %3 bytes after its domain name.",
                       item.offset(), place.path.string(), item.remaining()});
      }
      return push(option, std::move(text));
    }
    default:  // byte sequences: 128bit, byte_sequence, snmp_oid
      return push(option, CHexStore(item.current(), item.remaining()));
  }
}

std::string CDhcpOptionReader::_readName(const CPlace& place, CByteReader& cursor,
                                         const CByteReader& whole) const {
  std::string name;
  CByteReader at = cursor;
  bool jumped = false;
  // Compression pointers (DHCPv4 only) count from the start of the option
  // data. Each must point before the previous one's target, so a name is
  // read in finitely many steps whatever the bytes say.
  std::size_t limit = at.offset();
  for (;;) {
    if (at.empty()) break;  // a partial name, as DHCPv6 FQDNs may send
    const std::size_t labelOffset = at.offset();
    const std::uint8_t length = at.u8();
    if (length == 0) break;
    if ((length & 0xC0u) == 0xC0u && family_ == 4) {
      if (at.empty()) {
        failMalformed({"Compression pointer at offset %1 of option %2 is cut short.", labelOffset,
                       place.path.string()});
      }
      const std::size_t target = ((length & 0x3Fu) << 8) | at.u8();
      if (whole.offset() + target >= std::min(limit, labelOffset)) {
        failMalformed(
            {"Compression pointer at offset %1 of option %2 does not point back to an "
             "earlier name.",
             labelOffset, place.path.string()});
      }
      if (!jumped) cursor = at;
      jumped = true;
      limit = whole.offset() + target;
      at = whole;
      at.skip(target);
      continue;
    }
    if ((length & 0xC0u) != 0) {
      failMalformed({"Label length %1 at offset %2 of option %3 is invalid.", length, labelOffset,
                     place.path.string()});
    }
    if (!at.has(length)) {
      failMalformed(
          {"Label at offset %1 of option %2 runs past the end of the option (length "
           "%3, %4 bytes left).",
           labelOffset, place.path.string(), length, at.remaining()});
    }
    if (!name.empty()) name += '.';
    name.append(reinterpret_cast<const char*>(at.take(length)), length);
    if (name.size() > kMaxNameLength) {
      failMalformed({"Domain name at offset %1 of option %2 is longer than %3 bytes.",
                     cursor.offset(), place.path.string(), kMaxNameLength});
    }
  }
  if (!jumped) cursor = at;
  return name.empty() ? std::string(".") : name;
}

}  // namespace qvt::host
