#include "tools/dhcp-eval/ValueText.h"

#include <cstdio>

#include "class_a/standard/CException.h"
#include "tools/dhcp-eval/Utf8.h"

namespace qvt::tool {

namespace {

void appendHexEscape(std::string& out, unsigned char byte) {
  char escape[5];
  std::snprintf(escape, sizeof escape, "\\x%02X", byte);
  out += escape;
}

// appendEscaped: text with control characters, DEL and bytes that are not
// well-formed UTF-8 escaped; quoted adds the quotes and escapes '"' and '\'.
void appendEscaped(std::string& out, std::string_view text, bool quoted) {
  if (quoted) out += '"';
  appendUtf8Escaped(out, text, [quoted](std::string& escaped, unsigned char byte) {
    switch (byte) {
      case '\n':
        escaped += "\\n";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case '\t':
        escaped += "\\t";
        break;
      default:
        if (byte < 0x20 || byte >= 0x7F) {
          appendHexEscape(escaped, byte);
        } else if (quoted && (byte == '"' || byte == '\\')) {
          escaped += '\\';
          escaped += static_cast<char>(byte);
        } else {
          escaped += static_cast<char>(byte);
        }
    }
  });
  if (quoted) out += '"';
}

}  // namespace

std::string quoteText(std::string_view text) {
  std::string out;
  appendEscaped(out, text, true);
  return out;
}

std::string printableText(std::string_view text) {
  std::string out;
  appendEscaped(out, text, false);
  return out;
}

std::string describeValue(const CVariant& value) {
  std::string out = CVariant::typeName(value.type());
  if (value.subtype() != CVariantSubType::kGeneral) {
    out += " (" + value.subtype().name() + ")";
  }
  if (!value.isKnown()) return out;
  out += ' ';
  out += value.isString() ? quoteText(value.stringView()) : value.string();
  return out;
}

std::string operatorLabel(COperator op) {
  return op.code() == COperator::kNegate ? std::string("u-") : op.string();
}

std::string describeToken(const CToken& token) {
  if (token.isOperator()) return operatorLabel(token.op());
  const CVariant& value = token.value();
  if (value.isFunctionName()) return std::string(value.stringView());
  if (value.isString()) return quoteText(value.stringView());
  if (!value.isKnown()) return "unknown";
  try {
    return value.string();
  } catch (const CException&) {
    return "?";
  }
}

}  // namespace qvt::tool
