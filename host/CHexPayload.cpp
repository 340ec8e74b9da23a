#include "host/CHexPayload.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "class_a/standard/Fail.h"

namespace qvt::host {

namespace {

constexpr const char* kParseOperation = "CHexPayload::parse";
constexpr const char* kReadOperation = "CHexPayload::readFile";
// A DHCP message is at most 64 KiB; its text form with comments stays far
// below this.
constexpr std::uint32_t kMaxFileSize = 1024 * 1024;

struct CFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isSeparator(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' || c == ':' ||
         c == '-';
}

}  // namespace

std::vector<unsigned char> CHexPayload::parse(const std::string& text, const std::string& name) {
  const CMessage description("Cannot read hex payload '%1'.", name);
  std::vector<unsigned char> bytes;
  std::uint32_t line = 1;
  std::uint32_t column = 0;
  int high = -1;  // the first digit of a pair, while its second is awaited
  std::uint32_t groupLine = 0;
  std::uint32_t groupColumn = 0;
  bool comment = false;
  bool inGroup = false;
  auto endGroup = [&]() {
    inGroup = false;
    if (high < 0) return;
    fail(CRaiser::none(), "host", kParseOperation, description,
         {"The group at line %1, column %2 has an odd number of hexadecimal digits.", groupLine,
          groupColumn});
  };
  for (const char c : text) {
    ++column;
    if (c == '\n') {
      endGroup();
      comment = false;
      ++line;
      column = 0;
      continue;
    }
    if (comment) continue;
    if (c == '#') {
      endGroup();
      comment = true;
      continue;
    }
    if (isSeparator(c)) {
      endGroup();
      continue;
    }
    const int value = digitValue(c);
    if (value < 0 && (c < 0x20 || c > 0x7E)) {
      static const char kDigits[] = "0123456789ABCDEF";
      const auto byte = static_cast<unsigned char>(c);
      const std::string hex = {'0', 'x', kDigits[byte >> 4], kDigits[byte & 0x0F]};
      fail(CRaiser::none(), "host", kParseOperation, description,
           {"Invalid byte %1 at line %2, column %3.", hex, line, column});
    }
    if (value < 0) {
      fail(CRaiser::none(), "host", kParseOperation, description,
           {"Invalid character '%1' at line %2, column %3.", c, line, column});
    }
    if (!inGroup) {
      inGroup = true;
      groupLine = line;
      groupColumn = column;
    }
    if (high < 0) {
      high = value;
    } else {
      bytes.push_back(static_cast<unsigned char>(high * 16 + value));
      high = -1;
    }
  }
  endGroup();
  if (bytes.empty()) {
    fail(CRaiser::none(), "host", kParseOperation, description, "The text holds no bytes.");
  }
  return bytes;
}

std::vector<unsigned char> CHexPayload::readFile(const std::string& path) {
  const CMessage description("Cannot open file '%1'.", path);
  std::unique_ptr<std::FILE, CFileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) failSystem(CRaiser::none(), "host", kReadOperation, description);
  // One byte more than allowed tells an oversized file apart.
  std::string text(kMaxFileSize + 1, '\0');
  const std::size_t size = std::fread(text.data(), 1, text.size(), file.get());
  if (std::ferror(file.get())) failSystem(CRaiser::none(), "host", kReadOperation, description);
  if (size > kMaxFileSize) {
    fail(CRaiser::none(), "host", kReadOperation, description,
         {"The file is larger than %1 bytes.", kMaxFileSize});
  }
  text.resize(size);
  return parse(text, path);
}

int CHexPayload::guessFamily(const std::vector<unsigned char>& payload) {
  static constexpr unsigned char kCookie[] = {0x63, 0x82, 0x53, 0x63};
  if (payload.size() < 240) return 6;
  for (std::size_t i = 0; i < 4; ++i) {
    if (payload[236 + i] != kCookie[i]) return 6;
  }
  return 4;
}

}  // namespace qvt::host
