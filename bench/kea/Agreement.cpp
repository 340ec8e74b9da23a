#include "Agreement.h"

#include <exception>
#include <functional>

#include "RawConditions.h"
#include "class_a/standard/CException.h"

namespace keabench {
namespace {

// One engine's answers for a packet: a text per condition ("true", "false",
// or what came instead) and whether it is the expected boolean.
struct CAnswers {
  std::array<std::string, kExpressionCount> texts;
  std::array<bool, kExpressionCount> right{};
};

CAnswers fromConditions(const CConditions& got, bool expected) {
  CAnswers answers;
  for (std::size_t index = 0; index < kExpressionCount; ++index) {
    answers.texts[index] = got[index] ? "true" : "false";
    answers.right[index] = got[index] == expected;
  }
  return answers;
}

CAnswers fromValues(const COurWorker::Values& values, bool expected) {
  CAnswers answers;
  for (std::size_t index = 0; index < kExpressionCount; ++index) {
    const qvt::CVariant& value = values[index];
    if (value.isBoolean()) {
      answers.texts[index] = value.boolean() ? "true" : "false";
      answers.right[index] = value.boolean() == expected;
    } else {
      answers.texts[index] = std::string(value.type().name()) + " '" + value.string() + "'";
    }
  }
  return answers;
}

// failed: every condition answered by the exception's text.
CAnswers failed(const std::string& text) {
  CAnswers answers;
  answers.texts.fill("error: " + text);
  return answers;
}

CAnswers guarded(const std::function<CAnswers()>& run) {
  try {
    return run();
  } catch (const qvt::CException& error) {
    return failed(describe(error));
  } catch (const std::exception& error) {
    return failed(error.what());
  }
}

struct CEngineRun {
  std::string engine;
  CAnswers answers;
};

void checkPacket(const std::string& packetName, const CPacket& packet, bool expected,
                 COurWorker* ours, const CKeaWorker& kea, std::ostream& out,
                 std::vector<std::string>& problems) {
  std::vector<CEngineRun> runs;
  runs.push_back({"floor", fromConditions(rawConditions(packet.data(), packet.size()), expected)});
  runs.push_back(
      {"Kea exchange", guarded([&] { return fromConditions(kea.exchange(packet), expected); })});
  runs.push_back(
      {"Kea per worker", guarded([&] { return fromConditions(kea.perWorker(packet), expected); })});
  if (ours != nullptr) {
    COurWorker::Values values;
    runs.push_back({"ours exchange", guarded([&] {
                      ours->exchange(packet, values);
                      return fromValues(values, expected);
                    })});
    runs.push_back({"ours per worker", guarded([&] {
                      ours->perWorker(packet, values);
                      return fromValues(values, expected);
                    })});
  }
  out << packetName << " (every condition " << (expected ? "true" : "false") << "):\n";
  for (std::size_t index = 0; index < kExpressionCount; ++index) {
    out << "  " << kExpressions[index].name << ':';
    for (const CEngineRun& run : runs) {
      out << "  " << run.engine << '=' << run.answers.texts[index];
      if (!run.answers.right[index]) {
        problems.push_back(std::string(kExpressions[index].name) + " on the " + packetName + ": " +
                           run.engine + " gave " + run.answers.texts[index] + ", expected " +
                           (expected ? "true" : "false"));
      }
    }
    out << '\n';
  }
}

}  // namespace

std::vector<std::string> checkAgreement(COurWorker* ours, const CKeaWorker& kea,
                                        std::ostream& out) {
  std::vector<std::string> problems;
  checkPacket("matching DISCOVER", matchingDiscover(), true, ours, kea, out, problems);
  checkPacket("non-matching REQUEST", nonMatchingRequest(), false, ours, kea, out, problems);
  // Back to the first packet: the long-lived evaluator must follow its node
  // context again.
  checkPacket("matching DISCOVER", matchingDiscover(), true, ours, kea, out, problems);
  return problems;
}

std::string describe(const qvt::CException& error) {
  return error.description().text() + " (" + error.reason().text() + ")";
}

}  // namespace keabench
