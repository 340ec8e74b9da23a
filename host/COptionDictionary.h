// COptionDictionary: the option definitions the host decodes messages with,
// read from definition files.
//
// A definition file holds one definition per record: key=value lines of the
// attribute text (COptionAttributes), records separated by a blank line,
// lines starting with "#" ignored:
//
//   # DHCP message type
//   tagpath=53
//   type=8bit
//   name=dhcp-message-type
//
//   tagpath=82/1
//   type=byte_sequence
//   name=agent-circuit-id
//
// Definitions are keyed by full tag path and vendor: a definition with a
// "vendor_id" other than 0 applies only to messages of that vendor
// (enterprise number, the vendor id's first element) and is preferred there
// over the general one. A path without definition decodes as a byte
// sequence (definitionOrBytes).
//
//   COptionDictionary dhcp4;
//   dhcp4.load(COptionDictionary::defaultDirectory(), "dhcp4.defs");
//   dhcp4.find(CTagPath("82/1"))->type().string();   // "byte_sequence"
//
// A dictionary is filled once and then only read; lookups allocate nothing
// (they go through a hash index of the definitions). Options decoded with a
// dictionary may read its definitions in place (CDhcpOptionReader): keep the
// dictionary, unchanged, for as long as they live.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>

#include "class_b/dhcp/dhcp_base/COptionAttributes.h"
#include "class_b/dhcp/dhcp_base/CTagPath.h"
#include "host/CRecordFileReader.h"

namespace qvt {

class COptionDictionary {
 public:
  // Key: enterprise number (0 for the general definitions) and full tag path.
  using Key = std::pair<std::int32_t, CTagPath>;
  using Definitions = std::map<Key, COptionAttributes>;

  COptionDictionary() = default;
  COptionDictionary(const COptionDictionary& other);
  COptionDictionary(COptionDictionary&&) noexcept = default;
  COptionDictionary& operator=(const COptionDictionary& other);
  COptionDictionary& operator=(COptionDictionary&&) noexcept = default;
  virtual ~COptionDictionary();

  // load: adds the definitions of directory/fileName (CFileReader's path
  // rule). Raises the reader's "Cannot open file '%1'." and, for a record
  // that is not a valid definition, "Cannot read option definitions from
  // '%1'." with the reason "Record ending at line %1: %2" (the line number
  // and the definition's error text); definitions read before the failure
  // stay.
  void load(const std::string& directory, const std::string& fileName);
  // loadText: adds the definitions of text, in the file format; errors as
  // load with '%1' = "(text)".
  void loadText(const std::string& text);
  // add: stores definition under its vendor and tag path, replacing an
  // earlier definition of the same key.
  void add(const COptionAttributes& definition);

  // find: the general definition of path, or null.
  const COptionAttributes* find(const CTagPath& path) const;
  // find(path, enterpriseNumber): the definition for that vendor, else the
  // general one, or null.
  const COptionAttributes* find(const CTagPath& path, std::int32_t enterpriseNumber) const;
  // definitionOrBytes: the definition as find gives it, or, when there is
  // none, a definition of type "byte_sequence" with tag path path, name
  // "option-<path>" and "allowed".
  COptionAttributes definitionOrBytes(const CTagPath& path,
                                      std::int32_t enterpriseNumber = 0) const;

  const Definitions& definitions() const { return definitions_; }
  std::size_t size() const { return definitions_.size(); }
  bool empty() const { return definitions_.empty(); }

  // defaultDirectory: where the shipped dictionaries (dhcp4.defs,
  // dhcp6.defs, vendors.defs) are found: the environment variable
  // DHCP_EVAL_DICTIONARIES when set and not empty; else
  // the installed dictionaries seen from the running program
  // (host::installedDictionaryDirectory, for instance
  // <program directory>/../share/dhcp_eval/dictionaries) when they exist; else host/dictionaries of
  // the source tree this library was built from.
  static std::string defaultDirectory();

 private:
  // CKeyHash: a hash of a key's enterprise number and tag path elements.
  struct CKeyHash {
    std::size_t operator()(const Key& key) const noexcept;
  };

  // _reindex: index_ anew for definitions_.
  void _reindex();
  // _reader: a reader adding each record's definition.
  CRecordFileReader _reader();

  Definitions definitions_;
  // _slot: where the general definition of the one-element path of tag is
  // kept for the fast lookups: DHCP option codes (below 256) and header
  // codes (0xffffff00 and above); null for any other tag.
  const COptionAttributes** _slot(std::uint32_t tag) noexcept;
  const COptionAttributes* const* _slot(std::uint32_t tag) const noexcept {
    return const_cast<COptionDictionary*>(this)->_slot(tag);
  }
  // _indexGeneral: records definition in its slot when it has one.
  void _indexGeneral(const Key& key, const COptionAttributes* definition) noexcept;

  // index_: every definition of definitions_ by key, for the lookups;
  // options_ and headers_: the general definitions of option codes and
  // header codes by code, for the most frequent lookups.
  std::unordered_map<Key, const COptionAttributes*, CKeyHash> index_;
  std::array<const COptionAttributes*, 256> options_{};
  std::array<const COptionAttributes*, 256> headers_{};
};

}  // namespace qvt
