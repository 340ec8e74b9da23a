// CDhcpOptionReader: turns the data bytes of one DHCP option into a host
// option by the option's definition; shared by the DHCPv4 and DHCPv6
// decoders.
//
// The definition (COptionDictionary; a byte sequence when there is none)
// decides the layout, following the encoding keys of the shipped
// dictionaries (host/dictionaries/README.md): element type and size, arrays,
// length prefixes, null termination, DNS wire-format names, fixed-offset
// fields and encapsulated sub-options with their tag and length widths.
// Each option keeps where it was found (wire span) and its raw data bytes:
//
//   CDhcpOptionReader reader(dictionary, 4, kDhcp4Site);
//   CDhcpOptionReader::CPlace place{CTagPath(82u), CTagPath(82u), 0};
//   COption::Ptr relay = reader.decode(place, data, 240);   // 82 with 82/1, 82/2 ...
//
// Every length is checked before bytes are read; malformed data raises a
// CException with the reader's site description and a reason that names
// the option and its packet offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "class_b/dhcp/dhcp_base/COption.h"
#include "class_b/dhcp/dhcp_base/CTagPath.h"
#include "host/CByteReader.h"

namespace qvt {
class COptionDictionary;
}

namespace qvt::host {

class CDhcpOptionReader {
 public:
  // kMaxDepth: how deeply options may nest inside one another.
  static constexpr int kMaxDepth = 32;

  // CPlace: where an option goes: its full tag path in the tree, the path its
  // definition is looked up by (they differ inside DHCPv6 relay entries) and
  // the enterprise number whose vendor-specific definitions apply (0: none).
  struct CPlace {
    CTagPath path;
    CTagPath definitionPath;
    std::int32_t enterprise = 0;

    // below: the place of sub-option tag.
    CPlace below(std::uint32_t tag) const;
  };

  // CRawOption: one option as found in an area: its code, the packet offset
  // of its first byte and a reader of its data.
  struct CRawOption {
    std::uint32_t tag;
    std::size_t offset;
    CByteReader data;
  };

  // CDhcpOptionReader: reads with dictionary (not copied; it must outlive
  // the reader) for family 4 or 6 (the size of an address); failures report
  // site.
  CDhcpOptionReader(const COptionDictionary& dictionary, int family, const CDecodeSite& site)
      : dictionary_(dictionary), family_(family), site_(site) {}

  // decode: the option at place made from data, the option's data bytes;
  // tagOffset is the packet offset of the option's first byte. Raises
  // CException for data that does not fit the definition, naming the
  // option's full tag path and offset.
  COption::Ptr decode(const CPlace& place, CByteReader data, std::size_t tagOffset,
                      int depth = 0) const;

  // nextOption: reads the next option of area: a code of tagWidth bytes, a
  // length of lengthWidth bytes and that many data bytes. kind ("Option",
  // "Sub-option") and areaName ("the packet", "option 82") word the error
  // when the option runs past the end of area.
  CRawOption nextOption(CByteReader& area, std::size_t tagWidth, std::size_t lengthWidth,
                        const char* kind, const std::string& areaName) const;

  // decodeSubOptions: decodes every option of area (as nextOption reads
  // them) and appends it to parent, each at place.below(code).
  void decodeSubOptions(COption& parent, const CPlace& place, CByteReader area,
                        std::size_t tagWidth, std::size_t lengthWidth, int depth) const;

  // failMalformed: raises the site's description with reason.
  [[noreturn]] void failMalformed(const CMessage& reason) const;

  int family() const { return family_; }
  const CDecodeSite& site() const { return site_; }
  const COptionDictionary& dictionary() const { return dictionary_; }

 private:
  // _nextOption: nextOption, with the area's name made by areaName() only
  // when an error needs it.
  template <class AreaName>
  CRawOption _nextOption(CByteReader& area, std::size_t tagWidth, std::size_t lengthWidth,
                         const char* kind, const AreaName& areaName) const;
  // _make: the option for place: over the dictionary's definition, read in
  // place, when the definition fits the packet as it stands; else over a
  // copy made to fit (a byte sequence for types a packet cannot carry, the
  // place's tag path).
  COption::Ptr _make(const CPlace& place) const;
  void _decodeFields(COption& option, const CPlace& place, const CByteReader& data,
                     std::size_t tagOffset, int depth) const;
  void _decodeElements(COption& option, const CPlace& place, CByteReader data,
                       std::size_t tagOffset) const;
  void _decodeElement(COption& option, const CPlace& place, CByteReader item,
                      const CByteReader& whole) const;
  std::string _readName(const CPlace& place, CByteReader& cursor, const CByteReader& whole) const;
  std::size_t _elementSize(std::uint32_t typeCode) const;

  const COptionDictionary& dictionary_;
  int family_;
  CDecodeSite site_;
};

}  // namespace qvt::host
