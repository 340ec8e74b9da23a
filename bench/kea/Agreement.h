// Agreement: before anything is timed, every engine must give the expected
// result for each of the five conditions on both benchmark packets: all true
// on the matching DISCOVER, all false on the non-matching REQUEST. Checked are
// the hand-written floor, Kea (per exchange and with pre-parsed
// expressions) and, when its evaluator is available, ours (per exchange and
// with the long-lived evaluator, whose node context is pointed at each
// packet in turn).
//
//   std::vector<std::string> problems = keabench::checkAgreement(ours, kea, std::cout);
//   if (!problems.empty()) ... fail
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "CKeaWorker.h"
#include "COurWorker.h"

namespace keabench {

// checkAgreement: prints each engine's results for both packets to out and
// returns one line per disagreement (empty when all agree). ours is null
// when our evaluator is unavailable; then only Kea and the floor are checked.
std::vector<std::string> checkAgreement(COurWorker* ours, const CKeaWorker& kea, std::ostream& out);

// describe: the description and reason of an exception, "D (R)".
std::string describe(const qvt::CException& error);

}  // namespace keabench
