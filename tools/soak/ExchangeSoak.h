// ExchangeSoak: exchanges and executions by the million, as a server makes
// them, with the process's resident memory traced over the run.
//
// Each exchange decodes a received message (a relayed DOCSIS DHCPv4
// DISCOVER and a relayed DHCPv6 SOLICIT in turn, from examples/), asks the
// evaluator factory for an evaluator of the exchange (instance), compiles
// and executes a set of classification expressions that read the message,
// the vendor lookup, an SQLite key-value database and provisioning rules,
// and destroys it all again.
#pragma once

#include <cstdint>
#include <string>

namespace qvt::soak {

// runExchanges: count exchanges; true when resident memory stayed flat and
// every exchange gave the values of the first.
bool runExchanges(std::uint64_t count, const std::string& scratchFolder);

// runEvaluator: one long-lived evaluator executing its compiled
// expressions count times in turn; true as for runExchanges.
bool runEvaluator(std::uint64_t count, const std::string& scratchFolder);

}  // namespace qvt::soak
