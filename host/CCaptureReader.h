// CCaptureReader: the DHCP packets of a pcap or pcapng capture file.
//
// Frames are read through libpcap and unwrapped down to the DHCP message by
// CFrameUnwrapper (link layers, IP, UDP and the tunnels it knows). Frames are
// numbered from 1 over every frame of the file, DHCP or not, the way packet
// analysers number them:
//
//   CCaptureReader capture("exchange.pcapng");
//   CCapturedPacket packet;
//   while (capture.next(packet)) decode(packet.family, packet.payload);
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "host/CCapturedPacket.h"

struct pcap;

namespace qvt::host {

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
  // False when the frame carries no DHCP or is too short to tell; see
  // CFrameUnwrapper for the layers it reads.
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
