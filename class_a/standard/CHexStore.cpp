#include "class_a/standard/CHexStore.h"

#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

CHexStore::CHexStore(std::size_t capacity, std::string separator)
    : bytes_(capacity), separator_(std::move(separator)) {}

CHexStore::CHexStore(const std::string& text, std::string separator)
    : bytes_(16), separator_(std::move(separator)) {
  parse(text);
}

CHexStore::CHexStore(const unsigned char* bytes, std::size_t length)
    : bytes_(bytes, length), separator_("-") {}

CHexStore& CHexStore::operator+=(const CHexStore& other) {
  bytes_.append(other.bytes_.data(), other.bytes_.size());
  return *this;
}

std::string CHexStore::string() const {
  return toText(*this, separator_);
}

std::string CHexStore::toText(const CHexStore& store, const std::string& separator) {
  std::string out;
  appendHex(out, store.bytes_.data(), store.bytes_.size(), separator);
  return out;
}

void CHexStore::appendHex(std::string& out, const unsigned char* bytes, std::size_t length,
                          const std::string& separator) {
  if (length == 0) return;
  out.reserve(out.size() + length * 2 + (length - 1) * separator.size());
  for (std::size_t i = 0; i < length; ++i) {
    if (i > 0) out += separator;
    out += kHexDigits[bytes[i] >> 4];
    out += kHexDigits[bytes[i] & 0x0F];
  }
}

void CHexStore::parse(const std::string& text) {
  bytes_.clear();
  const std::size_t length = text.size();
  const std::size_t skip = separator_.size();
  // Past the end every read yields '\0', which _char2Nybble refuses.
  const auto at = [&text, length](std::size_t i) { return i < length ? text[i] : '\0'; };
  if (length == 0) return;
  std::size_t position = 0;
  try {
    for (;;) {
      bytes_.push_back(pairToByte(at(position), at(position + 1)));
      position += 2;
      if (position >= length || position + skip == length) break;
      position += skip;
    }
  } catch (...) {
    bytes_.clear();
    throw;
  }
}

std::string CHexStore::byteToHex(unsigned char byte) const {
  return std::string{kHexDigits[byte >> 4], kHexDigits[byte & 0x0F]};
}

unsigned char CHexStore::pairToByte(char high, char low) const {
  return static_cast<unsigned char>((_char2Nybble(high) << 4) | _char2Nybble(low));
}

unsigned char CHexStore::_char2Nybble(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned char>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<unsigned char>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<unsigned char>(c - 'a' + 10);
  // The end of the text reaches here as '\0'; it is shown as nothing.
  const std::string shown = c == '\0' ? std::string() : std::string(1, c);
  fail(CRaiser::none(), "standard", "CHexStore::_char2Nybble",
       "Cannot convert character to nybble.", {"Invalid hexadecimal character '%1'.", shown});
}

}  // namespace qvt
