// VendorFileFuzz: arbitrary vendor file text (CVendorFile) and the lookups
// of the vendor classes it defines. The input up to its first NUL byte is
// the vendor file; each line after it is a class text looked up by class
// and, with the enterprise numbers the file names, by enterprise number, as
// option 60 or option 16 of a received message would be.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>

#include "FuzzSupport.h"
#include "class_b/dhcp/dhcp_base/CVendorLookup.h"

namespace {

// kMaxLookups: how many class texts of one input are looked up.
constexpr int kMaxLookups = 32;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto* end = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
  const std::size_t textSize = end ? static_cast<std::size_t>(end - data) : size;
  qvt::CVendorFile vendors;
  try {
    vendors.loadText(std::string(reinterpret_cast<const char*>(data), textSize));
  } catch (const qvt::CException&) {
  }
  const qvt::CGeneralPtr<qvt::CVendorLookup> lookup = vendors.makeLookup();
  std::set<std::int32_t> enterprises = {0, 4491};
  for (const qvt::CVendorFile::Entry& entry : vendors.entries()) {
    const qvt::CVendorID id = entry.second->vendorId();
    if (id.depth() > 0) enterprises.insert(id[0]);
  }
  std::string classes =
      end ? std::string(reinterpret_cast<const char*>(end + 1), size - textSize - 1)
          : std::string();
  int lookups = 0;
  for (std::size_t begin = 0; begin <= classes.size() && lookups < kMaxLookups; ++lookups) {
    std::size_t stop = classes.find('\n', begin);
    if (stop == std::string::npos) stop = classes.size();
    const std::string classText = classes.substr(begin, stop - begin);
    begin = stop + 1;
    try {
      (void)lookup->locate(classText).second->vendorId().string();
    } catch (const qvt::CException&) {
    }
    for (const std::int32_t enterprise : enterprises) {
      try {
        (void)lookup->locate(enterprise, classText).first;
      } catch (const qvt::CException&) {
      }
    }
  }
  return 0;
}
