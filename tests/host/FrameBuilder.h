// FrameBuilder: the bytes of captured frames for the capture reader tests,
// from the UDP datagram outwards through IP, link layers and tunnels.
//
//   ethernet(0x0800, ipv4(udp(68, 67, payload)));
//   ipv4(gre(0, 0x6558, ethernet(...)), 0, 0, 47);   // Ethernet over GRE
#pragma once

#include <cstdint>
#include <vector>

#include "host/PayloadBuilder.h"

namespace qvt::host::test {

inline void put16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<unsigned char>(value >> 8));
  out.push_back(static_cast<unsigned char>(value));
}

inline Bytes udp(std::uint16_t source, std::uint16_t destination, const Bytes& payload) {
  Bytes out;
  put16(out, source);
  put16(out, destination);
  put16(out, static_cast<std::uint16_t>(payload.size() + 8));
  put16(out, 0);
  return cat({out, payload});
}

// ipv4: a header with `optionWords` 4-byte words of options and the given
// fragment field.
inline Bytes ipv4(const Bytes& payload, int optionWords = 0, std::uint16_t fragment = 0,
                  std::uint8_t protocol = 17) {
  Bytes out = {static_cast<unsigned char>(0x45 + optionWords), 0};
  put16(out, static_cast<std::uint16_t>(20 + optionWords * 4 + payload.size()));
  put16(out, 1);
  put16(out, fragment);
  out.insert(out.end(), {64, protocol, 0, 0, 10, 0, 0, 1, 255, 255, 255, 255});
  out.insert(out.end(), static_cast<std::size_t>(optionWords) * 4, 1);  // NOP options
  return cat({out, payload});
}

// ipv6: a header followed by a hop-by-hop options header when asked; `next`
// is the protocol of the payload.
inline Bytes ipv6(const Bytes& payload, bool hopByHop = false, std::uint8_t next = 17) {
  Bytes extension;
  if (hopByHop) extension = {next, 0, 1, 4, 0, 0, 0, 0};
  Bytes out = {0x60, 0, 0, 0};
  put16(out, static_cast<std::uint16_t>(extension.size() + payload.size()));
  out.push_back(hopByHop ? 0 : next);
  out.push_back(1);
  out.insert(out.end(), {0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
  out.insert(out.end(), {0xFF, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2});
  return cat({out, extension, payload});
}

inline Bytes ethernet(std::uint16_t type, const Bytes& payload,
                      const std::vector<std::uint16_t>& tags = {}) {
  Bytes out(12, 0xAA);
  for (std::uint16_t tag : tags) {
    put16(out, tag);
    put16(out, 100);  // VLAN id
  }
  put16(out, type);
  return cat({out, payload});
}

inline Bytes sll(std::uint16_t protocol, const Bytes& payload) {
  Bytes out = {0, 0, 0, 1, 0, 6, 1, 2, 3, 4, 5, 6, 0, 0};
  put16(out, protocol);
  return cat({out, payload});
}

inline Bytes sll2(std::uint16_t protocol, const Bytes& payload) {
  Bytes out;
  put16(out, protocol);
  out.insert(out.end(), {0, 0, 0, 0, 0, 2, 0, 1, 0, 6, 1, 2, 3, 4, 5, 6, 0, 0});
  return cat({out, payload});
}

// gre: a GRE header with the given flags and version word; the optional
// fields the flags announce are filled with 0x11, and the routing flag adds
// one source route entry and the closing empty one.
inline Bytes gre(std::uint16_t flags, std::uint16_t protocol, const Bytes& payload) {
  Bytes out;
  put16(out, flags);
  put16(out, protocol);
  const int words =
      ((flags & 0xC000) ? 1 : 0) + ((flags & 0x2000) ? 1 : 0) + ((flags & 0x1000) ? 1 : 0);
  out.insert(out.end(), static_cast<std::size_t>(words) * 4, 0x11);
  if (flags & 0x4000) out.insert(out.end(), {0x08, 0x00, 0, 4, 10, 0, 0, 9, 0, 0, 0, 0});
  return cat({out, payload});
}

// erspan2: the 8-byte ERSPAN type II header (session 5, index 7).
inline Bytes erspan2(const Bytes& frame, std::uint8_t version = 1) {
  return cat({{static_cast<unsigned char>(version << 4), 100, 0, 5, 0, 0, 0, 7}, frame});
}

// erspan3: the 12-byte ERSPAN type III header with frame type `frameType`,
// followed by an 8-byte platform-specific subheader when asked.
inline Bytes erspan3(const Bytes& frame, std::uint8_t frameType = 0, bool platform = false) {
  Bytes out = {0x20, 100, 0, 5, 1, 2, 3, 4, 0, 9};
  // The P flag, the frame type and hardware id 0x17 around it.
  out.push_back(static_cast<unsigned char>(0x80 | frameType << 2 | 0x01));
  out.push_back(platform ? 0x79 : 0x78);  // hardware id, direction, granularity, O flag
  if (platform) out.insert(out.end(), 8, 0xEE);
  return cat({out, frame});
}

inline Bytes vxlan(const Bytes& frame) {
  return cat({{0x08, 0, 0, 0, 0, 0, 42, 0}, frame});
}

// capwap: a CAPWAP data header of `words` 4-byte words (any beyond the first
// two hold wireless-specific information), radio 1, wireless binding
// `binding`, the T flag `native` and the flags byte `flags`.
inline Bytes capwap(const Bytes& frame, bool native = true, int words = 2, std::uint8_t flags = 0,
                    std::uint8_t binding = 1) {
  Bytes out = {0,
               static_cast<unsigned char>(words << 3 | 0),
               static_cast<unsigned char>(0x40 | binding << 1 | (native ? 1 : 0)),
               flags,
               0,
               0,
               0,
               0};
  out.insert(out.end(), static_cast<std::size_t>(words - 2) * 4, 0x04);
  return cat({out, frame});
}

// wlan: an 802.11 data frame (subtype 0 data, 8 QoS data) with the flags
// byte `flags` and the LLC/SNAP header of `oui` before the EtherType;
// `swapped` writes the frame control field byte-swapped, `pad` adds the
// padding some drivers put after the 802.11 header.
struct Wlan {
  std::uint8_t subtype = 0;
  std::uint8_t flags = 0x01;  // to DS
  std::uint8_t qos = 0;       // first byte of the QoS control field
  std::uint8_t oui = 0x00;
  std::uint8_t sequence = 0x10;  // low byte of sequence control: sequence 1, fragment 0
  bool swapped = false;
  int pad = 0;
};
inline Bytes wlan(std::uint16_t type, const Bytes& payload, const Wlan& w = {}) {
  const unsigned char control = static_cast<unsigned char>(0x08 | w.subtype << 4);
  Bytes out = {w.swapped ? w.flags : control, w.swapped ? control : w.flags, 0x2C, 0};
  out.insert(out.end(), 18, 0xBB);  // three addresses
  out.insert(out.end(), {w.sequence, 0x00});
  if ((w.flags & 0x03) == 0x03) out.insert(out.end(), 6, 0xCC);
  if (w.subtype & 0x08) out.insert(out.end(), {w.qos, 0});
  if ((w.subtype & 0x08) && (w.flags & 0x80)) out.insert(out.end(), 4, 0xDD);
  out.insert(out.end(), static_cast<std::size_t>(w.pad), 0);
  out.insert(out.end(), {0xAA, 0xAA, 0x03, 0, 0, w.oui});
  put16(out, type);
  return cat({out, payload});
}

// radiotap: a radiotap header with TSFT (when `tsft`) and the flags field.
inline Bytes radiotap(const Bytes& frame, std::uint8_t flags = 0, bool tsft = false) {
  Bytes fields;
  if (tsft) fields = Bytes(8, 0x55);
  fields.push_back(flags);
  fields.push_back(0);  // the rate
  // An extended presence bitmap: a second word that sets nothing.
  Bytes out = {0, 0, 0, 0, static_cast<unsigned char>(tsft ? 0x07 : 0x06), 0, 0, 0x80, 0, 0, 0, 0};
  if (tsft) out.insert(out.end(), 4, 0);  // TSFT is aligned to 8
  out = cat({out, fields});
  out[2] = static_cast<unsigned char>(out.size());
  return cat({out, frame});
}

}  // namespace qvt::host::test
