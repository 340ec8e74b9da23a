#include "Agreement.h"

#include <exception>
#include <functional>
#include <optional>

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

// CAnswer: one condition's answer as text, and whether it is expected.
struct CAnswer {
  std::string text;
  bool right = false;
};

CAnswer fromBool(bool got, bool expected) {
  return {got ? "true" : "false", got == expected};
}

CAnswer fromValue(const qvt::CVariant& value, bool expected) {
  if (value.isBoolean()) return fromBool(value.boolean(), expected);
  return {std::string(value.type().name()) + " '" + value.string() + "'", false};
}

// guarded: run's answer, or the text of the exception it raised.
CAnswer guarded(const std::function<CAnswer()>& run) {
  try {
    return run();
  } catch (const qvt::CException& error) {
    return {"error: " + describe(error), false};
  } catch (const std::exception& error) {
    return {std::string("error: ") + error.what(), false};
  }
}

// answers: prepare once (decoding the packet; a failure there answers every
// condition), then answer each condition on its own, so that a failing
// expression shows against its own name.
CAnswers answers(const std::function<void()>& prepare,
                 const std::function<CAnswer(std::size_t)>& answer) {
  CAnswers result;
  const CAnswer prepared = guarded([&] {
    prepare();
    return CAnswer{"", true};
  });
  for (std::size_t index = 0; index < kExpressionCount; ++index) {
    const CAnswer one = prepared.right ? guarded([&] { return answer(index); }) : prepared;
    result.texts[index] = one.text;
    result.right[index] = one.right;
  }
  return result;
}

struct CEngineRun {
  std::string engine;
  CAnswers answers;
};

std::vector<CEngineRun> runEngines(const CPacket& packet, bool expected, COurWorker* ours,
                                   const CKeaWorker& kea) {
  std::vector<CEngineRun> runs;
  const CConditions floor = rawConditions(packet.data(), packet.size());
  runs.push_back(
      {"floor",
       answers([] {}, [&](std::size_t index) { return fromBool(floor[index], expected); })});

  isc::dhcp::Pkt4Ptr message;
  const auto unpack = [&] { message = kea::decode(packet); };
  runs.push_back({"Kea exchange", answers(unpack, [&](std::size_t index) {
                    return fromBool(kea::evaluate(kea::parse(kExpressions[index].kea), *message),
                                    expected);
                  })});
  runs.push_back({"Kea per worker", answers(unpack, [&](std::size_t index) {
                    return fromBool(kea::evaluate(kea.expressions()[index], *message), expected);
                  })});
  if (ours == nullptr) return runs;

  // The exchange's steps as COurWorker::exchange takes them, one expression
  // at a time.
  std::optional<CNodeContext> node;
  qvt::CGeneralPtr<qvt::CExpEval> evaluator;
  qvt::CVariant value;
  runs.push_back({"ours exchange", answers(
                                       [&] {
                                         node.emplace(ours->makeNode(ours->decode(packet)));
                                         evaluator = ours->instance(&*node);
                                       },
                                       [&](std::size_t index) {
                                         evaluator->execute(
                                             value, evaluator->compile(kExpressions[index].ours));
                                         return fromValue(value, expected);
                                       })});
  evaluator = nullptr;
  runs.push_back(
      {"ours per worker",
       answers([&] { ours->node().point(ours->decode(packet), COurWorker::relayAddress()); },
               [&](std::size_t index) {
                 ours->evaluator().execute(value, ours->trees()[index]);
                 return fromValue(value, expected);
               })});
  return runs;
}

void checkPacket(const std::string& packetName, const CPacket& packet, bool expected,
                 COurWorker* ours, const CKeaWorker& kea, std::ostream& out,
                 std::vector<std::string>& problems) {
  const std::vector<CEngineRun> runs = runEngines(packet, expected, ours, kea);
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
