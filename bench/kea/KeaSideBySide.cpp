// dhcp_eval_kea_bench: our DHCPv4 evaluator side by side with ISC Kea 2.2's
// expression evaluator, on the same wire bytes and five equivalent
// conditions.
//
//   dhcp_eval_kea_bench [--repetitions N] [--batch-ms N] [--thread-ms N] [--quick]
//
// First every engine is checked on a packet where all five conditions hold
// and one where none does (Agreement.h); a disagreement ends the run with
// status 1 before anything is timed. Then each figure is timed (median of
// the repetitions, CHarness) and a summary table printed. Status 2: our
// DHCPv4 evaluator is not available (the factory refuses family 4), so only
// Kea's figures, the floor and our decoder were measured.
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "Agreement.h"
#include "CFigures.h"
#include "CHarness.h"
#include "CKeaWorker.h"
#include "COurWorker.h"
#include "CSummaryTable.h"
#include "KeaSide.h"
#include "class_a/standard/CException.h"
#include "host/COptionDictionary.h"

namespace {

constexpr int kDisagreement = 1;
constexpr int kOursUnavailable = 2;
constexpr int kUsage = 3;

const char* const kUsageText =
    "usage: dhcp_eval_kea_bench [--repetitions N] [--batch-ms N] [--thread-ms N] [--quick]\n"
    "  --repetitions N  timed batches per figure, the median is shown (default 11)\n"
    "  --batch-ms N     length of one batch in milliseconds (default 25)\n"
    "  --thread-ms N    length of one throughput run in milliseconds (default 250)\n"
    "  --quick          3 repetitions of 5 ms, throughput runs of 50 ms (a smoke run)\n";

bool positive(const char* text, int& value) {
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed <= 0 || parsed > 100000) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool parseArguments(int argc, char** argv, keabench::CHarness::Settings& settings) {
  for (int index = 1; index < argc; ++index) {
    const std::string argument = argv[index];
    int value = 0;
    const bool hasValue = index + 1 < argc && positive(argv[index + 1], value);
    if (argument == "--quick") {
      settings.repetitions = 3;
      settings.batch = std::chrono::milliseconds(5);
      settings.threadRun = std::chrono::milliseconds(50);
      settings.threadRepetitions = 3;
    } else if (argument == "--repetitions" && hasValue) {
      settings.repetitions = value;
      ++index;
    } else if (argument == "--batch-ms" && hasValue) {
      settings.batch = std::chrono::milliseconds(value);
      ++index;
    } else if (argument == "--thread-ms" && hasValue) {
      settings.threadRun = std::chrono::milliseconds(value);
      ++index;
    } else {
      return false;
    }
  }
  return true;
}

int run(const keabench::CHarness::Settings& settings) {
  keabench::kea::initLogging();
  qvt::COptionDictionary dictionary;
  dictionary.load(qvt::COptionDictionary::defaultDirectory(), "dhcp4.defs");

  keabench::COurWorker ours(dictionary);
  std::string oursUnavailable;
  try {
    ours.prepare();
  } catch (const qvt::CException& error) {
    // Only a factory without a DHCPv4 evaluator is expected; a failing
    // compile is a fault and ends the run.
    if (error.operation() != "CDHCPEvalFactoryPtr::instance") throw;
    oursUnavailable = keabench::describe(error);
    std::cout << "OURS NOT AVAILABLE: " << oursUnavailable << "\n"
              << "Measuring Kea, the floor and our decoder only.\n\n";
  }
  keabench::COurWorker* const prepared = oursUnavailable.empty() ? &ours : nullptr;
  const keabench::CKeaWorker kea;

  std::cout << "Agreement check\n";
  const std::vector<std::string> problems = keabench::checkAgreement(prepared, kea, std::cout);
  if (!problems.empty()) {
    std::cerr << "\nFAILED: the engines do not give the expected results:\n";
    for (const std::string& problem : problems)
      std::cerr << "  " << problem << '\n';
    return kDisagreement;
  }
  std::cout << "All engines agree.\n\n";

  std::cout << "Expressions:\n";
  for (const keabench::CExpressionPair& pair : keabench::kExpressions) {
    std::cout << "  " << pair.name << "  ours: " << pair.ours << "\n      Kea:  " << pair.kea
              << '\n';
  }
  std::cout << "\nTiming: median of " << settings.repetitions << " batches of about "
            << settings.batch.count() << " ms per figure; throughput: median of "
            << settings.threadRepetitions << " runs of " << settings.threadRun.count() << " ms\n\n"
            << std::flush;

  const keabench::CHarness harness(settings);
  keabench::CSummaryTable table;
  keabench::CFigures(harness, table, dictionary, ours, prepared, kea).addAll();
  table.print(std::cout);
  if (!oursUnavailable.empty()) {
    std::cout << "\nOurs n/a: " << oursUnavailable << '\n';
    return kOursUnavailable;
  }
  return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  keabench::CHarness::Settings settings;
  if (!parseArguments(argc, argv, settings)) {
    std::cerr << kUsageText;
    return kUsage;
  }
  try {
    return run(settings);
  } catch (const qvt::CException& error) {
    std::cerr << "FAILED: " << keabench::describe(error) << " [" << error.operation() << "]\n";
  } catch (const std::exception& error) {
    std::cerr << "FAILED: " << error.what() << '\n';
  }
  return kDisagreement;
}
