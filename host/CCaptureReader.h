// CCaptureReader: the DHCP packets of a pcap or pcapng capture file.
//
// Frames are read through libpcap and unwrapped down to the UDP payload:
// link types Ethernet (with any number of 802.1Q/802.1ad tags and PPPoE
// sessions), Linux cooked capture (SLL and SLL2), BSD loopback and raw IP;
// IPv4 (with header options) and IPv6 (skipping extension headers); UDP with
// port 67 or 68 (DHCPv4) or 546 or 547 (DHCPv6) at either end. Frames are
// numbered from 1 over every frame of the file, DHCP or not, the way packet
// analysers number them:
//
//   CCaptureReader capture("exchange.pcapng");
//   CCapturedPacket packet;
//   while (capture.next(packet)) decode(packet.family, packet.payload);
//
// IP fragments are not reassembled: a fragmented datagram is skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct pcap;

namespace qvt::host {

// CCapturedPacket: one DHCP message found in a capture.
struct CCapturedPacket {
  std::uint64_t frame = 0;  // frame number, counted from 1
  int family = 0;           // 4 (UDP ports 67/68) or 6 (UDP ports 546/547)
  std::uint16_t sourcePort = 0;
  std::uint16_t destinationPort = 0;
  std::vector<unsigned char> payload;  // the UDP payload: the DHCP message
};

class CCaptureReader {
 public:
  // CCaptureReader: opens a capture file. Raises "Cannot open capture file
  // '%1'." with libpcap's explanation as the reason.
  explicit CCaptureReader(const std::string& path);
  ~CCaptureReader();
  CCaptureReader(const CCaptureReader&) = delete;
  CCaptureReader& operator=(const CCaptureReader&) = delete;

  // next: reads frames until the next one that carries DHCP and fills packet
  // with it; false at the end of the file. Raises "Cannot read capture file
  // '%1'." with libpcap's explanation when the file is damaged (the packets
  // returned before stay valid).
  bool next(CCapturedPacket& packet);

  // framesRead: frames read so far, DHCP or not.
  std::uint64_t framesRead() const { return frames_; }
  // linkType: the capture's link-layer type (a libpcap DLT_ value).
  int linkType() const { return linkType_; }

  // extract: the DHCP message inside one frame of link type `linkType`
  // (family, ports and payload of packet; its frame number is left alone).
  // False when the frame carries no DHCP or is too short to tell.
  static bool extract(int linkType, const unsigned char* frame, std::size_t length,
                      CCapturedPacket& packet);

  // isCaptureFile: whether the file starts with a pcap or pcapng magic
  // number; false when it cannot be read.
  static bool isCaptureFile(const std::string& path);

 private:
  struct CPcapClose {
    void operator()(pcap* handle) const noexcept;
  };
  std::unique_ptr<pcap, CPcapClose> handle_;
  std::string path_;
  std::uint64_t frames_ = 0;
  int linkType_ = 0;
};

}  // namespace qvt::host
