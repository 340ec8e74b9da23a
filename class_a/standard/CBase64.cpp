#include "class_a/standard/CBase64.h"

#include <array>

#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr unsigned char kInvalid = 0xFF;

// The value of every alphabet character; kInvalid for the rest, "=" included.
constexpr std::array<unsigned char, 256> makeDecodeTable() {
  std::array<unsigned char, 256> table{};
  for (auto& entry : table)
    entry = kInvalid;
  for (unsigned char i = 0; i < 64; ++i)
    table[static_cast<unsigned char>(kAlphabet[i])] = i;
  return table;
}
constexpr std::array<unsigned char, 256> kDecode = makeDecodeTable();

[[noreturn]] void failData() {
  fail(CRaiser::none(), "standard", "CBase64::decode", "Error decoding base 64.", "Invalid data.");
}

}  // namespace

std::string CBase64::encode(const CHexStore& bytes) {
  return encode(bytes.data(), bytes.size());
}

std::string CBase64::encode(const unsigned char* bytes, std::size_t length) {
  std::string out;
  out.reserve((length + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= length; i += 3) {
    const unsigned group = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
    out += kAlphabet[(group >> 18) & 0x3F];
    out += kAlphabet[(group >> 12) & 0x3F];
    out += kAlphabet[(group >> 6) & 0x3F];
    out += kAlphabet[group & 0x3F];
  }
  const std::size_t rest = length - i;
  if (rest > 0) {
    const unsigned group = (bytes[i] << 16) | (rest == 2 ? bytes[i + 1] << 8 : 0);
    out += kAlphabet[(group >> 18) & 0x3F];
    out += kAlphabet[(group >> 12) & 0x3F];
    out += rest == 2 ? kAlphabet[(group >> 6) & 0x3F] : '=';
    out += '=';
  }
  return out;
}

CHexStore CBase64::decode(const std::string& text) {
  const std::size_t length = text.size();
  if (length % 4 != 0) {
    fail(CRaiser::none(), "standard", "CBase64::decode",
         {"Cannot decode input '%1' from base 64.", text}, "Invalid length.");
  }
  CHexStore out(length / 4 * 3);
  for (std::size_t i = 0; i < length; i += 4) {
    const bool last = i + 4 == length;
    const auto value = [&text](std::size_t at) {
      return kDecode[static_cast<unsigned char>(text[at])];
    };
    // Padding is allowed only as "xx==" or "xxx=" in the last group.
    const bool pad4 = last && text[i + 3] == '=';
    const bool pad3 = pad4 && text[i + 2] == '=';
    const unsigned char a = value(i);
    const unsigned char b = value(i + 1);
    const unsigned char c = pad3 ? 0 : value(i + 2);
    const unsigned char d = pad4 ? 0 : value(i + 3);
    if (a == kInvalid || b == kInvalid || c == kInvalid || d == kInvalid) failData();
    const unsigned group = (a << 18) | (b << 12) | (c << 6) | d;
    out.append(static_cast<unsigned char>(group >> 16));
    if (!pad3) out.append(static_cast<unsigned char>((group >> 8) & 0xFF));
    if (!pad4) out.append(static_cast<unsigned char>(group & 0xFF));
  }
  return out;
}

}  // namespace qvt
