// PayloadBuilder: bytes of DHCP payloads and option definitions for the
// decoder tests, and the values a decoded tree holds at a tag path.
//
//   option4(53, {1});                      // 35 01 01
//   option6(8, {0, 100});                  // 00 08 00 02 00 64
//   definitions({{"12", "string", "host-name", "null_terminated=true"}});
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "class_b/dhcp/dhcp_base/COption.h"
#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"

namespace qvt::host::test {

using Bytes = std::vector<unsigned char>;

inline Bytes text(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

inline Bytes cat(const std::vector<Bytes>& parts) {
  Bytes out;
  for (const Bytes& part : parts)
    out.insert(out.end(), part.begin(), part.end());
  return out;
}

// option4: a DHCPv4 option, one byte of code and one of length.
inline Bytes option4(std::uint8_t code, const Bytes& data) {
  return cat({{code, static_cast<unsigned char>(data.size())}, data});
}

// option6: a DHCPv6 option, two bytes of code and two of length.
inline Bytes option6(std::uint16_t code, const Bytes& data) {
  return cat(
      {{static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code),
        static_cast<unsigned char>(data.size() >> 8), static_cast<unsigned char>(data.size())},
       data});
}

struct Definition {
  Definition(std::string p, std::string t, std::string n, std::string e = std::string())
      : path(std::move(p)), type(std::move(t)), name(std::move(n)), extra(std::move(e)) {}
  std::string path, type, name, extra;  // extra: further "key=value" lines
};

// definitions: the dictionary text of rows.
inline std::string definitions(const std::vector<Definition>& rows) {
  std::string out;
  for (const Definition& d : rows)
    out += "tagpath=" + d.path + "\ntype=" + d.type + "\nname=" + d.name + "\n" + d.extra +
           (d.extra.empty() ? "\n" : "\n\n");
  return out;
}

// valuesOf: the elements of the option at path as text, {"absent"} without one.
inline std::vector<std::string> valuesOf(const CGeneralPtr<COption>& root,
                                         const std::string& path) {
  CGeneralPtr<COption> option;
  if (!root->tryGet(CTagPath(path), option, COptionType(), 0)) return {"absent"};
  std::vector<std::string> texts;
  const CValueTypeConverter converter(option);
  for (std::uint32_t i = 0; i < option->count(); ++i)
    texts.push_back(converter.variant(i).string());
  return texts;
}

}  // namespace qvt::host::test
