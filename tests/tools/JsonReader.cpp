#include "tools/JsonReader.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

namespace qvt::test {

namespace {

class CReader {
 public:
  explicit CReader(const std::string& text) : text_(text) {}

  CJson document() {
    CJson value = this->value();
    blanks();
    if (position_ != text_.size()) fault("text after the value");
    return value;
  }

 private:
  [[noreturn]] void fault(const std::string& what) const {
    throw std::runtime_error("invalid JSON at offset " + std::to_string(position_) + ": " + what);
  }
  void blanks() {
    while (position_ < text_.size() &&
           std::string(" \t\r\n").find(text_[position_]) != std::string::npos) {
      ++position_;
    }
  }
  bool take(char c) {
    blanks();
    if (position_ < text_.size() && text_[position_] == c) {
      ++position_;
      return true;
    }
    return false;
  }
  void expect(char c) {
    if (!take(c)) fault(std::string("expected '") + c + "'");
  }
  bool word(const std::string& w) {
    if (text_.compare(position_, w.size(), w) != 0) return false;
    position_ += w.size();
    return true;
  }

  CJson value() {
    blanks();
    if (position_ >= text_.size()) fault("missing value");
    CJson v;
    const char c = text_[position_];
    if (c == '{') {
      v.kind = CJson::kObject;
      ++position_;
      if (take('}')) return v;
      do {
        blanks();
        std::string key = string();
        expect(':');
        v.members.emplace_back(std::move(key), value());
      } while (take(','));
      expect('}');
    } else if (c == '[') {
      v.kind = CJson::kArray;
      ++position_;
      if (take(']')) return v;
      do {
        v.items.push_back(value());
      } while (take(','));
      expect(']');
    } else if (c == '"') {
      v.kind = CJson::kString;
      v.text = string();
    } else if (word("true")) {
      v.kind = CJson::kBoolean;
      v.boolean = true;
    } else if (word("false")) {
      v.kind = CJson::kBoolean;
    } else if (word("null")) {
      v.kind = CJson::kNull;
    } else {
      const std::size_t start = position_;
      if (text_[position_] == '-') ++position_;
      while (position_ < text_.size() &&
             (std::isdigit(static_cast<unsigned char>(text_[position_])) != 0)) {
        ++position_;
      }
      if (position_ == start) fault("unexpected character");
      v.kind = CJson::kNumber;
      v.text = text_.substr(start, position_ - start);
    }
    return v;
  }

  static void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  std::uint32_t hex4() {
    if (text_.size() - position_ < 4) fault("short \\u escape");
    const std::string digits = text_.substr(position_, 4);
    if (digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
      fault("bad \\u escape");
    }
    position_ += 4;
    return static_cast<std::uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
  }

  // utf8: checks the well-formed UTF-8 sequence at position_ and copies it.
  void utf8(std::string& out) {
    const auto lead = static_cast<unsigned char>(text_[position_]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0xC2 || lead > 0xF4 || text_.size() - position_ < length) fault("bad UTF-8");
    std::uint32_t code = lead & (0x3F >> (length - 1));
    for (std::size_t i = 1; i < length; ++i) {
      const auto next = static_cast<unsigned char>(text_[position_ + i]);
      if ((next & 0xC0) != 0x80) fault("bad UTF-8");
      code = (code << 6) | (next & 0x3F);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      fault("bad UTF-8");
    }
    out.append(text_, position_, length);
    position_ += length;
  }

  std::string string() {
    if (position_ >= text_.size() || text_[position_] != '"') fault("expected a string");
    ++position_;
    std::string out;
    for (;;) {
      if (position_ >= text_.size()) fault("unterminated string");
      const auto c = static_cast<unsigned char>(text_[position_]);
      if (c == '"') {
        ++position_;
        return out;
      }
      if (c < 0x20) fault("raw control character in a string");
      if (c >= 0x80) {
        utf8(out);
        continue;
      }
      ++position_;
      if (c != '\\') {
        out += static_cast<char>(c);
        continue;
      }
      if (position_ >= text_.size()) fault("unterminated escape");
      const char e = text_[position_++];
      switch (e) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          std::uint32_t code = hex4();
          if (code >= 0xD800 && code <= 0xDBFF) {
            if (!word("\\u")) fault("lone surrogate");
            const std::uint32_t low = hex4();
            if (low < 0xDC00 || low > 0xDFFF) fault("bad surrogate pair");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          } else if (code >= 0xDC00 && code <= 0xDFFF) {
            fault("lone surrogate");
          }
          appendUtf8(out, code);
          break;
        }
        default:
          fault("unknown escape");
      }
    }
  }

  const std::string& text_;
  std::size_t position_ = 0;
};

}  // namespace

std::vector<std::string> CJson::keys() const {
  std::vector<std::string> names;
  for (const auto& member : members)
    names.push_back(member.first);
  return names;
}

const CJson* CJson::find(const std::string& key) const {
  for (const auto& member : members) {
    if (member.first == key) return &member.second;
  }
  return nullptr;
}

const CJson& CJson::at(const std::string& key) const {
  if (const CJson* member = find(key)) return *member;
  throw std::runtime_error("no member '" + key + "'");
}

std::string CJson::scalar() const {
  if (kind == kBoolean) return boolean ? "true" : "false";
  return kind == kNull ? "null" : text;
}

CJson parseJson(const std::string& text) {
  return CReader(text).document();
}

}  // namespace qvt::test
