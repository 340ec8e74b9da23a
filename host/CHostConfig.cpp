#include "host/CHostConfig.h"

#include <fstream>
#include <set>

#include "class_a/standard/BoundedLine.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/Fail.h"
#include "class_a/standard/Severity.h"

namespace qvt::host {

namespace {

const char* const kReadOperation = "CHostConfig::read";

std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string anchored(const std::string& path, const std::string& baseDirectory) {
  if (baseDirectory.empty() || path.empty() || path[0] == '/') return path;
  return baseDirectory + "/" + path;
}

}  // namespace

CHostConfig::CHostConfig() : logLevels_(kSeverityError | kSeverityWarning | kSeverityInfo) {}

CHostConfig CHostConfig::read(const std::string& path) {
  std::ifstream stream(path);
  if (!stream) {
    failSystem(CRaiser::none(), "host", kReadOperation,
               {"Cannot open configuration file '%1'.", path});
  }
  // Anchoring keeps a bare module name from being searched for on the
  // library path by dlopen.
  const std::size_t slash = path.rfind('/');
  return parse(stream, path, slash == std::string::npos ? "." : path.substr(0, slash));
}

CHostConfig CHostConfig::parse(std::istream& stream, const std::string& name,
                               const std::string& baseDirectory) {
  CHostConfig config;
  const CMessage description("Cannot read configuration file '%1'.", name);
  std::set<std::string> seen;
  std::string line;
  std::int32_t number = 1;
  for (CLineRead read; (read = readBoundedLine(stream, line)) != CLineRead::kEnd; ++number) {
    if (read == CLineRead::kTooLong) {
      fail(
          CRaiser::none(), "host", kReadOperation, description,
          {"Line %1 is longer than %2 bytes.", number, static_cast<std::uint64_t>(kMaxLineLength)});
    }
    const std::string text = trimmed(line);
    if (text.empty() || text[0] == '#') continue;
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
      fail(CRaiser::none(), "host", kReadOperation, description,
           {"Line %1 is not of the form key = value.", number});
    }
    const std::string key = trimmed(text.substr(0, equals));
    const std::string value = trimmed(text.substr(equals + 1));
    if (key != kPluginKey && key != kSharedServerKeyFileKey && key != kLogLevelsKey) {
      fail(CRaiser::none(), "host", kReadOperation, description,
           {"Unknown key '%1' in line %2.", key, number});
    }
    if (value.empty()) {
      fail(CRaiser::none(), "host", kReadOperation, description,
           {"Key '%1' in line %2 has no value.", key, number});
    }
    if (key != kPluginKey && !seen.insert(key).second) {
      fail(CRaiser::none(), "host", kReadOperation, description,
           {"Key '%1' in line %2 is given more than once.", key, number});
    }
    if (key == kPluginKey) {
      config.pluginModules_.push_back(anchored(value, baseDirectory));
    } else if (key == kSharedServerKeyFileKey) {
      config.sharedServerKeyFile_ = anchored(value, baseDirectory);
    } else {
      config.logLevels_ = CException::severityMask(value);
    }
  }
  return config;
}

}  // namespace qvt::host
