#include "tools/dhcp-eval/DumpCommand.h"

#include <cstdint>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "class_a/standard/CException.h"
#include "class_a/standard/CVariant.h"
#include "class_b/dhcp/dhcp_base/COption.h"
#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"
#include "host/CCaptureReader.h"
#include "host/CDhcp4Decoder.h"
#include "host/CDhcp6Decoder.h"
#include "host/CHexPayload.h"
#include "tools/dhcp-eval/CJsonWriter.h"
#include "tools/dhcp-eval/ExceptionJson.h"

namespace qvt::tool {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// writtenPath: path as a user writes it in $INP: codes in decimal, the
// header pseudo-options' codes (2^31 and above) as the negative numbers
// they are read back from ("-30", "-250/18"), where the path's own text
// form shows 0xffffffe2.
std::string writtenPath(const CTagPath& path) {
  std::string text;
  for (const std::uint32_t code : path) {
    if (!text.empty()) text += '/';
    text += std::to_string(static_cast<std::int32_t>(code));
  }
  return text;
}

// CDumpPrinter: writes decoded packets, plain or as JSON lines, and counts
// the packets that could not be decoded.
class CDumpPrinter {
 public:
  explicit CDumpPrinter(bool json) : json_(json) {}

  // packet: decodes payload and prints its tree or its error.
  void packet(std::uint64_t frame, int family, const std::vector<unsigned char>& payload) {
    CGeneralPtr<COption> root;
    std::vector<COption::Ptr> options;
    try {
      root = family == 4 ? host::CDhcp4Decoder::shipped().decode(payload)
                         : host::CDhcp6Decoder::shipped().decode(payload);
      _collect(*root.get(), options);
      // Read every value before printing, so a packet prints whole or as
      // one error.
      rows_.clear();
      for (const COption::Ptr& option : options)
        rows_.push_back(_row(option));
    } catch (const CException& e) {
      ++failed_;
      _printError(frame, e);
      return;
    }
    if (json_) {
      _printJson(frame, family);
    } else {
      _printPlain(frame, family, payload.size());
    }
  }

  std::uint64_t failed() const { return failed_; }

 private:
  struct CRow {
    std::string path;
    std::string type;
    std::string name;
    std::vector<std::string> values;
    bool quoted;  // string-like values, shown in quotes in plain output
    std::size_t depth;
  };

  // _collect: every option below option, depth first in tree order.
  static void _collect(const COption& option, std::vector<COption::Ptr>& out) {
    for (std::size_t i = 0; i < option.childCount(); ++i) {
      const COption::Ptr child = option.child(i);
      if (!child) continue;
      out.push_back(child);
      _collect(*child.get(), out);
    }
  }

  static CRow _row(const COption::Ptr& option) {
    const COption& o = *option.get();
    const CTagPath path = o.fullTagPath();
    CRow row{writtenPath(path), o.type().string(), o.attributes().name(), {}, false, path.depth()};
    const CValueTypeConverter converter(option);
    for (std::size_t i = 0; i < o.count(); ++i) {
      const CVariant value = converter.variant(static_cast<std::uint32_t>(i));
      row.quoted = value.type() == CVariantType::kString;
      row.values.push_back(value.string());
    }
    return row;
  }

  void _printJson(std::uint64_t frame, int family) const {
    CJsonWriter json;
    json.beginObject().member("frame", frame).member("family", family).key("options");
    json.beginArray();
    for (const CRow& row : rows_) {
      json.beginObject().member("path", row.path).member("type", row.type).key("values");
      json.beginArray();
      for (const std::string& value : row.values)
        json.value(value);
      json.endArray().endObject();
    }
    json.endArray().endObject();
    std::cout << json.text() << '\n';
  }

  void _printPlain(std::uint64_t frame, int family, std::size_t size) const {
    std::cout << "frame " << frame << ": DHCPv" << family << ", " << size << " bytes\n";
    for (const CRow& row : rows_) {
      std::string line(2 * row.depth, ' ');
      line += row.path;
      if (!row.name.empty()) line += " " + row.name;
      line += " (" + row.type + ")";
      for (std::size_t i = 0; i < row.values.size(); ++i) {
        line += i == 0 ? ": " : ", ";
        if (row.quoted) {
          CJsonWriter::appendString(line, row.values[i]);
        } else {
          line += row.values[i];
        }
      }
      std::cout << line << '\n';
    }
  }

  void _printError(std::uint64_t frame, const CException& e) const {
    if (!json_) {
      std::cout << "frame " << frame << ": error: " << e.text() << '\n';
      return;
    }
    CJsonWriter json;
    json.beginObject().member("frame", frame).key("error");
    writeException(json, e);
    json.endObject();
    std::cout << json.text() << '\n';
  }

  bool json_;
  std::uint64_t failed_ = 0;
  std::vector<CRow> rows_;
};

}  // namespace

int runDump(const DumpOptions& options) {
  if (!options.expressions.empty()) {
    std::cerr << "dhcp-eval: expressions cannot be combined with --dump\n";
    return kExitUsage;
  }
  CDumpPrinter printer(options.json);
  try {
    // Load the dictionaries first: without them no packet can be read.
    host::CDhcp4Decoder::shipped();
    host::CDhcp6Decoder::shipped();
    if (host::CCaptureReader::isCaptureFile(options.file)) {
      host::CCaptureReader capture(options.file);
      host::CCapturedPacket packet;
      while (capture.next(packet))
        printer.packet(packet.frame, packet.family, packet.payload);
    } else {
      const std::vector<unsigned char> payload = host::CHexPayload::readFile(options.file);
      const int family =
          options.family != 0 ? options.family : host::CHexPayload::guessFamily(payload);
      printer.packet(1, family, payload);
    }
  } catch (const CException& e) {
    std::cout.flush();
    std::cerr << "dhcp-eval: " << e.text() << std::endl;
    return kExitUsage;
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << "dhcp-eval: " << e.what() << std::endl;
    return kExitUsage;
  }
  std::cout.flush();
  return printer.failed() == 0 ? kExitOk : kExitFailed;
}

}  // namespace qvt::tool
