#include "host/CCaptureReader.h"

#include <pcap/pcap.h>

#include <array>
#include <fstream>

#include "class_a/standard/Fail.h"
#include "host/CFrameUnwrapper.h"

namespace qvt::host {

void CCaptureReader::CPcapClose::operator()(pcap* handle) const noexcept {
  pcap_close(handle);
}

CCaptureReader::CCaptureReader(const std::string& path) : path_(path) {
  std::array<char, PCAP_ERRBUF_SIZE> error{};
  handle_.reset(pcap_open_offline(path.c_str(), error.data()));
  if (!handle_) {
    fail(CRaiser::of(*this), "host", "CCaptureReader::CCaptureReader",
         {"Cannot open capture file '%1'.", path}, std::string(error.data()));
  }
  linkType_ = pcap_datalink(handle_.get());
}

CCaptureReader::~CCaptureReader() = default;

bool CCaptureReader::next(CCapturedPacket& packet) {
  for (;;) {
    pcap_pkthdr* header = nullptr;
    const u_char* data = nullptr;
    const int status = pcap_next_ex(handle_.get(), &header, &data);
    if (status == PCAP_ERROR_BREAK) return false;
    if (status != 1) {
      fail(CRaiser::of(*this), "host", "CCaptureReader::next",
           {"Cannot read capture file '%1'.", path_}, std::string(pcap_geterr(handle_.get())));
    }
    ++frames_;
    if (extract(linkType_, data, header->caplen, packet)) {
      packet.frame = frames_;
      return true;
    }
  }
}

bool CCaptureReader::extract(int linkType, const unsigned char* frame, std::size_t length,
                             CCapturedPacket& packet) {
  return CFrameUnwrapper(packet).unwrap(linkType, frame, length);
}

bool CCaptureReader::isCaptureFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::array<unsigned char, 4> magic{};
  if (!file.read(reinterpret_cast<char*>(magic.data()), magic.size())) return false;
  static const std::array<std::array<unsigned char, 4>, 3> kMagics = {{
      {0xA1, 0xB2, 0xC3, 0xD4},  // pcap, microseconds
      {0xA1, 0xB2, 0x3C, 0x4D},  // pcap, nanoseconds
      {0x0A, 0x0D, 0x0D, 0x0A},  // pcapng section header
  }};
  for (const auto& m : kMagics) {
    if (magic == m) return true;
    const std::array<unsigned char, 4> swapped = {m[3], m[2], m[1], m[0]};
    if (m[0] != 0x0A && magic == swapped) return true;
  }
  return false;
}

}  // namespace qvt::host
