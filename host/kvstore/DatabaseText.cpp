#include "host/kvstore/DatabaseText.h"

#include <cctype>
#include <optional>
#include <utility>
#include <vector>

#include "host/kvstore/KeyValueStores.h"

namespace qvt::host {

namespace {

constexpr const char* kMask = "****";

// CSpan: where a password stands in the database text.
struct CSpan {
  std::size_t begin;
  std::size_t end;
};

bool startsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

bool isSpace(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool isUri(const std::string& text) {
  return startsWith(text, "postgresql://") || startsWith(text, "postgres://");
}

// isKeywordText: the text starts as libpq's "keyword = value" form does.
bool isKeywordText(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i]))
    ++i;
  const std::size_t start = i;
  while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_'))
    ++i;
  if (i == start || std::isdigit(static_cast<unsigned char>(text[start]))) return false;
  while (i < text.size() && isSpace(text[i]))
    ++i;
  return i < text.size() && text[i] == '=';
}

std::string percentDecoded(const std::string& text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() &&
        std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      decoded += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

// uriPasswords: the password spans of a URI: after "user:" before "@", and
// every "password=" parameter.
std::vector<CSpan> uriPasswords(const std::string& text) {
  std::vector<CSpan> spans;
  const std::size_t authority = text.find("://") + 3;
  const std::size_t authorityEnd = std::min(text.find_first_of("/?", authority), text.size());
  const std::size_t at = text.rfind('@', authorityEnd);
  if (at != std::string::npos && at >= authority) {
    const std::size_t colon = text.find(':', authority);
    if (colon < at) spans.push_back({colon + 1, at});
  }
  const std::size_t query = text.find('?', authority);
  for (std::size_t begin = query; begin != std::string::npos && begin < text.size();) {
    const std::size_t end = std::min(text.find('&', begin + 1), text.size());
    const std::size_t name = begin + 1;
    if (text.compare(name, 9, "password=") == 0) spans.push_back({name + 9, end});
    begin = end < text.size() ? end : std::string::npos;
  }
  return spans;
}

// keywordPasswords: the password spans of a key=value text (values bare,
// or in single quotes with backslash escapes). A text that cannot be read
// to its end hides everything after a "password" keyword.
std::vector<CSpan> keywordPasswords(const std::string& text) {
  std::vector<CSpan> spans;
  std::size_t i = 0;
  const auto skipSpaces = [&] {
    while (i < text.size() && isSpace(text[i]))
      ++i;
  };
  for (skipSpaces(); i < text.size(); skipSpaces()) {
    const std::size_t keyStart = i;
    while (i < text.size() && !isSpace(text[i]) && text[i] != '=')
      ++i;
    const std::string keyword = text.substr(keyStart, i - keyStart);
    skipSpaces();
    if (i >= text.size() || text[i] != '=') {
      const std::size_t found = text.find("password", keyStart);
      if (found != std::string::npos) spans.push_back({found + 8, text.size()});
      break;
    }
    ++i;
    skipSpaces();
    const std::size_t valueStart = i;
    if (i < text.size() && text[i] == '\'') {
      for (++i; i < text.size() && text[i] != '\''; ++i)
        if (text[i] == '\\') ++i;
      i = std::min(i + 1, text.size());
    } else {
      for (; i < text.size() && !isSpace(text[i]); ++i)
        if (text[i] == '\\') ++i;
      i = std::min(i, text.size());
    }
    if (keyword == "password") spans.push_back({valueStart, i});
  }
  return spans;
}

std::vector<CSpan> passwordSpans(const std::string& database) {
  if (isUri(database)) return uriPasswords(database);
  if (isKeywordText(database)) return keywordPasswords(database);
  return {};
}

// unquoted: a key=value value without its quotes and escapes.
std::string unquoted(const std::string& value) {
  std::string text;
  const bool quoted = !value.empty() && value.front() == '\'';
  const std::size_t end = quoted && value.size() > 1 ? value.size() - 1 : value.size();
  for (std::size_t i = quoted ? 1 : 0; i < end; ++i) {
    if (value[i] == '\\' && i + 1 < end) ++i;
    text += value[i];
  }
  return text;
}

}  // namespace

CDatabaseText readDatabaseText(const std::string& database) {
  if (startsWith(database, "sqlite:")) return {CDatabaseKind::kSqlite, database.substr(7), ""};
  const bool uri = isUri(database);
  if (!uri && !isKeywordText(database)) return {CDatabaseKind::kSqlite, database, ""};
  CDatabaseText text{CDatabaseKind::kPostgres, "", ""};
  const std::vector<CSpan> spans = passwordSpans(database);
  if (!spans.empty()) {
    const std::string raw =
        database.substr(spans.back().begin, spans.back().end - spans.back().begin);
    text.password = uri ? percentDecoded(raw) : unquoted(raw);
  }
  return text;
}

std::string maskedDatabaseText(const std::string& database) {
  std::string masked = database;
  const std::vector<CSpan> spans = passwordSpans(database);
  // From the back, so that earlier spans keep their places.
  for (auto span = spans.rbegin(); span != spans.rend(); ++span) {
    if (span->end > span->begin) masked.replace(span->begin, span->end - span->begin, kMask);
  }
  return masked;
}

}  // namespace qvt::host
