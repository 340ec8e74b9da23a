#include "host/exchange/AssignmentFile.h"

#include <cstdio>
#include <memory>

#include "class_a/standard/Fail.h"

namespace qvt::host {

namespace {

struct CFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string readTextFile(const std::string& path, const std::string& module,
                         const std::string& operation) {
  const CMessage description("Cannot open file '%1'.", path);
  std::unique_ptr<std::FILE, CFileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) failSystem(CRaiser::none(), module, operation, description);
  std::string text;
  char buffer[65536];
  std::size_t size = 0;
  while ((size = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    if (text.size() + size > kMaxTextFileSize) {
      fail(CRaiser::none(), module, operation, description,
           {"The file is larger than %1 bytes.", static_cast<std::uint32_t>(kMaxTextFileSize)});
    }
    text.append(buffer, size);
  }
  // A directory opens but fails on the first read (EISDIR).
  if (std::ferror(file.get())) failSystem(CRaiser::none(), module, operation, description);
  return text;
}

std::vector<CAssignment> parseAssignments(const std::string& text,
                                          const CAssignmentErrors& errors) {
  std::vector<CAssignment> assignments;
  std::uint32_t number = 0;
  for (std::size_t start = 0; start <= text.size(); ++number) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = trimmed(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == '#') continue;
    const std::size_t equals = line.find('=');
    const std::string name = equals == std::string::npos ? "" : trimmed(line.substr(0, equals));
    if (name.empty()) {
      fail(CRaiser::none(), errors.module, errors.operation, errors.description,
           {"Line %1 is not of the form name = value.", number + 1});
    }
    assignments.push_back(CAssignment{number + 1, name, trimmed(line.substr(equals + 1))});
  }
  return assignments;
}

}  // namespace qvt::host
