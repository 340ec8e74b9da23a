// CaptureFuzz: arbitrary bytes as a packet file given to dhcp-eval
// --packet or --dump: a pcap or pcapng capture read through libpcap frame by
// frame, or else a hexadecimal payload text. Every DHCP message found is
// decoded by its family and its option tree walked. The bytes are handed
// over as a file (a memory file of the process), as a user hands them over.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "host/CCaptureReader.h"
#include "host/CDhcp4Decoder.h"
#include "host/CDhcp6Decoder.h"
#include "host/CHexPayload.h"

namespace {

// kMaxFrames: how many DHCP messages of one capture are decoded.
constexpr int kMaxFrames = 64;

void decode(int family, const std::vector<unsigned char>& payload) {
  try {
    if (family == 4) {
      qvt::fuzz::walk(*qvt::host::CDhcp4Decoder::shipped().decode(payload).get());
    } else {
      qvt::fuzz::walk(*qvt::host::CDhcp6Decoder::shipped().decode(payload).get());
    }
  } catch (const qvt::CException&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const int fd = memfd_create("capture", 0);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) {
    __builtin_trap();
  }
  try {
    if (!qvt::host::CCaptureReader::isCaptureFile(path)) {
      const std::vector<unsigned char> payload = qvt::host::CHexPayload::readFile(path);
      decode(qvt::host::CHexPayload::guessFamily(payload), payload);
      return 0;
    }
    qvt::host::CCaptureReader capture(path);
    qvt::host::CCapturedPacket packet;
    for (int frames = 0; frames < kMaxFrames && capture.next(packet); ++frames)
      decode(packet.family, packet.payload);
  } catch (const qvt::CException&) {
  }
  return 0;
}
