// dhcp_eval_kea_bench: our DHCPv4 evaluator side by side with ISC Kea 2.2's
// expression evaluator, on the same wire bytes and five equivalent
// conditions.
//
//   dhcp_eval_kea_bench [--repetitions N] [--batch-ms N] [--thread-ms N] [--quick]
//                       [--only GROUP,...] [--check]
//
// First every engine is checked on a packet where all five conditions hold
// and one where none does (Agreement.h); a disagreement ends the run with
// status 1 before anything is timed. Then each figure is timed (median of
// the repetitions, CHarness) and a summary table printed. Status 2: our
// DHCPv4 evaluator is not available (the factory refuses family 4), so only
// Kea's figures, the floor and our decoder were measured. --check stops after
// the agreement check (CTest runs it so).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

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
    "                           [--only GROUP,...] [--check]\n"
    "  --repetitions N  timed batches per figure, the median is shown (default 11)\n"
    "  --batch-ms N     length of one batch in milliseconds (default 25)\n"
    "  --thread-ms N    length of one throughput run in milliseconds (default 250)\n"
    "  --quick          3 repetitions of 5 ms, throughput runs of 50 ms (a smoke run)\n"
    "  --only GROUP,... only these figure groups: compile, execute, exchange, heap,\n"
    "                   threads (default all)\n"
    "  --check          only check that the engines agree, time nothing\n";

constexpr const char* kGroups[] = {"compile", "execute", "exchange", "heap", "threads"};

struct COptions {
  keabench::CHarness::Settings settings;
  std::vector<std::string> groups{std::begin(kGroups), std::end(kGroups)};
  bool checkOnly = false;
};

// groupList: the names of a comma-separated list, each one of kGroups.
bool groupList(const std::string& text, std::vector<std::string>& groups) {
  groups.clear();
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const std::string name = text.substr(start, comma - start);
    if (std::find(std::begin(kGroups), std::end(kGroups), name) == std::end(kGroups)) {
      return false;
    }
    groups.push_back(name);
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}

// loadText: the machine's one-minute load average against its processors,
// printed with the figures: throughput on several threads means little on
// a busy machine.
std::string loadText() {
  double load[1] = {0};
  if (::getloadavg(load, 1) != 1) return "load average unknown";
  char text[96];
  std::snprintf(text, sizeof text, "load average %.2f on %u processors", load[0],
                std::thread::hardware_concurrency());
  return text;
}

bool positive(const char* text, int& value) {
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed <= 0 || parsed > 100000) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool parseArguments(int argc, char** argv, COptions& options) {
  keabench::CHarness::Settings& settings = options.settings;
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
    } else if (argument == "--check") {
      options.checkOnly = true;
    } else if (argument == "--only" && index + 1 < argc) {
      if (!groupList(argv[++index], options.groups)) return false;
    } else if (argument == "--thread-ms" && hasValue) {
      settings.threadRun = std::chrono::milliseconds(value);
      ++index;
    } else {
      return false;
    }
  }
  return true;
}

// printPreamble: the expressions and how the figures are taken.
void printPreamble(const keabench::CHarness::Settings& settings) {
  std::cout << "Expressions:\n";
  for (const keabench::CExpressionPair& pair : keabench::kExpressions) {
    std::cout << "  " << pair.name << "  ours: " << pair.ours << "\n      Kea:  " << pair.kea
              << '\n';
  }
  std::cout << "\nTimes: the thread's CPU time per call, median of " << settings.repetitions
            << " batches of about " << settings.batch.count()
            << " ms per figure (ours and Kea in turn).\nThroughput: wall clock, median of "
            << settings.threadRepetitions << " runs of " << settings.threadRun.count()
            << " ms.\nAt the start: " << loadText() << "\n\n"
            << std::flush;
}

int run(const COptions& options) {
  const keabench::CHarness::Settings& settings = options.settings;
  keabench::kea::initLogging();
  qvt::COptionDictionary dictionary;
  dictionary.load(keabench::COurWorker::dictionaryDirectory(), "dhcp4.defs");

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
    for (const std::string& problem : problems) {
      std::cerr << "  " << problem << '\n';
    }
    return kDisagreement;
  }
  std::cout << "All engines agree.\n\n";
  if (options.checkOnly) return oursUnavailable.empty() ? EXIT_SUCCESS : kOursUnavailable;

  printPreamble(settings);
  const keabench::CHarness harness(settings);
  keabench::CSummaryTable table;
  keabench::CFigures figures(harness, table, dictionary, ours, prepared, kea);
  for (const std::string& group : options.groups) {
    figures.add(group);
  }
  table.print(std::cout);
  std::cout << "\nAt the end: " << loadText() << '\n';
  if (!oursUnavailable.empty()) {
    std::cout << "\nOurs n/a: " << oursUnavailable << '\n';
    return kOursUnavailable;
  }
  return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  COptions options;
  if (!parseArguments(argc, argv, options)) {
    std::cerr << kUsageText;
    return kUsage;
  }
  try {
    return run(options);
  } catch (const qvt::CException& error) {
    std::cerr << "FAILED: " << keabench::describe(error) << " [" << error.operation() << "]\n";
  } catch (const std::exception& error) {
    std::cerr << "FAILED: " << error.what() << '\n';
  }
  return kDisagreement;
}
