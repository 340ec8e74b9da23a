// Shared pieces of the expression engine tests: a host context with a fixed
// key and a recording logger, and helpers that run an expression.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/CILogger.h"

namespace qvt::test {

struct CLogEntry {
  std::string message;
  std::string module;
  std::uint32_t level;
};

class CRecordingLogger : public CILogger {
 public:
  void log(const std::string& message, const std::string& module, std::uint32_t level) override {
    entries.push_back({message, module, level});
  }
  std::vector<CLogEntry> entries;
};

class CTestHost : public CIHostContext {
 public:
  CILogger& logger() override { return logger_; }
  std::vector<std::uint8_t> sharedServerKey() override { return key; }

  std::vector<std::uint8_t> key{'t', 'e', 's', 't', '-', 'k', 'e', 'y'};
  CRecordingLogger logger_;
};

// CEngineTest: a fixture with a test host and an engine on it; each suite
// names it through an alias.
class CEngineTest : public ::testing::Test {
 protected:
  CTestHost host;
  CExpEval engine{&host};
};

template <class TRow>
class CEngineParamTest : public CEngineTest, public ::testing::WithParamInterface<TRow> {};

// describe: "type: text" of a value, the form the expression tables use.
inline std::string describe(const CVariant& value) {
  return std::string(value.type().name()) + ": " + value.string();
}

// run: compiles and executes text (single form); "error: <text>" on failure.
inline std::string run(CExpEval& engine, const std::string& text) {
  try {
    CVariant result;
    engine.execute(result, engine.compile(text));
    return describe(result);
  } catch (const CException& e) {
    return "error: " + e.text();
  }
}

// repeat: count copies of piece.
inline std::string repeat(const std::string& piece, std::size_t count) {
  std::string text;
  text.reserve(piece.size() * count);
  for (std::size_t i = 0; i < count; ++i)
    text += piece;
  return text;
}

// kSanitized: sanitizer builds spend several times the stack per level and
// bring their own operator new.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// CValueFile: a temporary file with content, removed at the end.
class CValueFile {
 public:
  explicit CValueFile(const std::string& content) {
    char pattern[] = "/tmp/engine-test-XXXXXX";
    const int descriptor = mkstemp(pattern);
    path_ = pattern;
    close(descriptor);
    std::ofstream(path_) << content;
  }
  ~CValueFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace qvt::test
