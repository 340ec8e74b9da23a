// dhcp-eval: evaluates expressions of the DHCP server's expression language
// the way the server does: with evaluators that the evaluator module
// (dhcp_eval.so, loaded through the host's plugin loader) hands out for a
// DHCP exchange.
//
//   dhcp-eval "\$LEFT('abcdef', 2) + 'x'"        # string "abx"
//   dhcp-eval --json '1 + 2' '\$NOSUCH()'        # one JSON object per line
//   dhcp-eval --trace "\$STARTSWITH('pktc1.0', 'docsis')"
//   dhcp-eval -f checks.txt                      # one expression per line
//   dhcp-eval                                    # interactive on a terminal
//   dhcp-eval -- -3                              # an expression beginning with "-"
//   dhcp-eval --packet day.pcapng --frame 3 -- '$CM'   # against a received message
//   dhcp-eval -6 --packet day.pcapng --classes classes.txt
//   dhcp-eval kv --db kv.db set pool cm 00-11 10.1.0.0
//   dhcp-eval --dump capture.pcapng              # the packets as option trees
//   dhcp-eval --bench --packet day.pcapng --classes classes.txt   # what they cost
//
// Exit status: 0 when every expression evaluated, 1 when any failed, 2 for a
// usage error (unknown option, missing argument, unreadable file).
#include <unistd.h>

#include <cstring>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/standard/CException.h"
#include "tools/dhcp-eval/BenchCommand.h"
#include "tools/dhcp-eval/CEvalCommand.h"
#include "tools/dhcp-eval/CExpressionFile.h"
#include "tools/dhcp-eval/CInteractivePrompt.h"
#include "tools/dhcp-eval/CPromptSession.h"
#include "tools/dhcp-eval/CStreamLines.h"
#include "tools/dhcp-eval/CToolServer.h"
#include "tools/dhcp-eval/CommandLine.h"
#include "tools/dhcp-eval/DumpCommand.h"
#include "tools/dhcp-eval/KvCommand.h"
#include "tools/dhcp-eval/PacketCommand.h"
#include "tools/dhcp-eval/ValueText.h"

namespace {

using qvt::CException;
using qvt::tool::CCommandLine;
using qvt::tool::CEvalCommand;
using qvt::tool::CExpressionFile;
using qvt::tool::CSource;
using qvt::tool::CToolServer;

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int failed(const CException& e, int status) {
  std::cout.flush();
  std::cerr << "dhcp-eval: " << qvt::tool::printableText(e.text()) << std::endl;
  return status;
}

// expressionsOf: the expressions of the sources, files read whole. Raises the
// files' errors.
std::vector<std::string> expressionsOf(const std::vector<CSource>& sources) {
  std::vector<std::string> expressions;
  for (const CSource& source : sources) {
    if (!source.isFile) {
      expressions.push_back(source.text);
      continue;
    }
    CExpressionFile file(source.text);
    std::string expression;
    while (file.next(expression))
      expressions.push_back(expression);
  }
  return expressions;
}

int runDump(const CCommandLine& line) {
  qvt::tool::DumpOptions options;
  try {
    options.expressions = expressionsOf(line.sources);
  } catch (const CException& e) {
    return failed(e, kExitUsage);
  }
  options.file = line.dumpFile;
  options.json = line.json;
  options.family = line.dumpFamily != 0 ? line.dumpFamily : (line.familyGiven ? line.family : 0);
  options.trace = line.trace;
  options.keyFile = line.keyFile;
  return qvt::tool::runDump(options);
}

qvt::tool::CToolServerOptions serverOptions(const CCommandLine& line) {
  qvt::tool::CToolServerOptions options;
  options.family = line.family;
  options.module = line.module;
  options.keyFile = line.keyFile;
  options.kvDatabase = line.kvDatabase;
  options.dbTimeoutMs = line.dbTimeoutMs;
  options.rulesFile = line.rulesFile;
  options.vendorsFile = line.vendorsFile;
  options.serverIp = line.serverIp;
  options.deviceId = line.deviceId;
  options.account = line.account;
  return options;
}

void evaluateFile(CEvalCommand& command, qvt::CExpEval& evaluator, CExpressionFile& file) {
  std::string expression;
  while (file.next(expression))
    command.evaluate(evaluator, expression);
}

// runSession: the interactive session: on the terminal with a prompt, or
// reading standard input. Returns how many commands it refused.
std::size_t runSession(qvt::tool::CPromptSession& session) {
  if (!isatty(STDIN_FILENO)) {
    qvt::tool::CStreamLines input("-");
    session.run(input);
    return session.failures();
  }
  qvt::tool::CInteractivePrompt prompt("dhcp-eval> ", "      ...> ",
                                       qvt::tool::CInteractivePrompt::defaultHistoryPath());
  prompt.setCompleter([&session](const std::string& text, std::size_t cursor) {
    return session.complete(text, cursor);
  });
  session.run(prompt);
  std::cout << std::endl;
  return session.failures();
}

// runPacketPrompt: --packet without expressions on a terminal: the prompt,
// with the capture loaded as ":packet" loads it.
int runPacketPrompt(CToolServer& server, const CCommandLine& line) {
  CEvalCommand command(CEvalCommand::COptions{line.json, line.trace}, std::cout, std::cerr);
  std::unique_ptr<qvt::tool::CPromptSession> session;
  try {
    session = std::make_unique<qvt::tool::CPromptSession>(
        server, qvt::tool::readReply(server, line.replyFile, line.replyFrame), command, std::cout,
        std::cerr);
  } catch (const CException& e) {
    return failed(e, kExitUsage);
  }
  if (!session->load(line.packetFile, line.frame)) return kExitUsage;
  try {
    return runSession(*session) == 0 && command.failures() == 0 ? kExitSuccess : kExitFailure;
  } catch (const CException& e) {
    return failed(e, kExitUsage);
  }
}

// runExpressions: the expressions against an exchange whose received message
// is empty (and whose reply is empty too, unless --reply gives one).
int runExpressions(CToolServer& server, const CCommandLine& line) {
  // Everything the command line names is checked before the first
  // expression runs, so a usage error never follows partial output.
  std::vector<std::unique_ptr<CExpressionFile>> files;
  qvt::CGeneralPtr<qvt::COption> reply;
  std::unique_ptr<qvt::host::CHostExchange> exchange;
  qvt::CGeneralPtr<qvt::CExpEval> evaluator;
  try {
    for (const CSource& source : line.sources) {
      if (source.isFile) files.push_back(std::make_unique<CExpressionFile>(source.text));
    }
    reply = qvt::tool::readReply(server, line.replyFile, line.replyFrame);
    if (!line.sources.empty()) {
      exchange = server.exchange(server.emptyMessage(), reply);
      evaluator = exchange->evaluator();
    }
  } catch (const CException& e) {
    return failed(e, kExitUsage);
  }

  CEvalCommand command(CEvalCommand::COptions{line.json, line.trace}, std::cout, std::cerr);
  std::size_t refused = 0;
  try {
    if (line.sources.empty()) {
      qvt::tool::CPromptSession session(server, reply, command, std::cout, std::cerr);
      refused = runSession(session);
    }
    std::size_t nextFile = 0;
    for (const CSource& source : line.sources) {
      if (source.isFile) {
        evaluateFile(command, *evaluator, *files[nextFile++]);
      } else {
        command.evaluate(*evaluator, source.text);
      }
    }
  } catch (const CException& e) {
    // evaluate never raises: this is a file that stopped being readable.
    return failed(e, kExitUsage);
  }
  return command.failures() == 0 && refused == 0 ? kExitSuccess : kExitFailure;
}

// exchangeOptions: the capture, reply, JSON and expression settings that
// packet mode and --bench share, for the command line's option; an exit
// status when the command line cannot run.
template <class Options>
std::optional<int> exchangeOptions(const CCommandLine& line, const char* option, Options& options) {
  options.packetFile = line.packetFile;
  options.frame = line.frame;
  options.replyFile = line.replyFile;
  options.replyFrame = line.replyFrame;
  options.json = line.json;
  options.classesFile = line.classesFile;
  if (!line.classesFile.empty()) return std::nullopt;
  try {
    if (line.sources.empty() && isatty(STDIN_FILENO)) {
      std::cerr << "dhcp-eval: option '" << option
                << "' needs expressions or '--classes'\n"
                   "Try 'dhcp-eval --help'.\n";
      return kExitUsage;
    }
    options.expressions =
        line.sources.empty() ? expressionsOf({CSource{true, "-"}}) : expressionsOf(line.sources);
  } catch (const CException& e) {
    return failed(e, kExitUsage);
  }
  return std::nullopt;
}

int runPackets(CToolServer& server, const CCommandLine& line) {
  if (line.sources.empty() && line.classesFile.empty() && isatty(STDIN_FILENO))
    return runPacketPrompt(server, line);
  qvt::tool::CPacketOptions options;
  options.trace = line.trace;
  if (const std::optional<int> status = exchangeOptions(line, "--packet", options)) return *status;
  return qvt::tool::runPackets(server, options);
}

int runBench(CToolServer& server, const CCommandLine& line) {
  qvt::tool::CBenchOptions options;
  options.rounds = line.rounds;
  if (const std::optional<int> status = exchangeOptions(line, "--bench", options)) return *status;
  return qvt::tool::runBench(server, options);
}

int listFunctions(CToolServer& server) {
  // An evaluator of an empty exchange: its table is every name it offers.
  std::unique_ptr<qvt::host::CHostExchange> exchange;
  qvt::CGeneralPtr<qvt::CExpEval> evaluator;
  try {
    exchange = server.exchange(server.emptyMessage(), server.emptyMessage());
    evaluator = exchange->evaluator();
  } catch (const CException& e) {
    return failed(e, kExitUsage);
  }
  for (const std::string& name : evaluator->functionNames())
    std::cout << name << '\n';
  std::cout.flush();
  return kExitSuccess;
}

int run(int argc, const char* const* argv) {
  if (argc > 1 && std::strcmp(argv[1], "kv") == 0) {
    return qvt::tool::runKv(argc - 1, argv + 1, std::cout, std::cerr);
  }
  CCommandLine line;
  try {
    line = qvt::tool::parseCommandLine(argc, argv);
  } catch (const qvt::tool::CUsageError& error) {
    std::cerr << "dhcp-eval: " << error.message << "\nTry 'dhcp-eval --help'.\n";
    return kExitUsage;
  }
  if (line.help) {
    std::cout << qvt::tool::kUsage;
    return kExitSuccess;
  }
  if (line.version) {
    std::cout << "dhcp-eval " << DHCP_EVAL_VERSION << '\n';
    return kExitSuccess;
  }
  if (line.dump) return runDump(line);
  std::unique_ptr<CToolServer> server;
  try {
    qvt::tool::CToolServerOptions options = serverOptions(line);
    options.quietKey = line.functions;
    server = std::make_unique<CToolServer>(options, std::cerr);
  } catch (const CException& e) {
    return failed(e, kExitUsage);
  }
  if (line.functions) return listFunctions(*server);
  if (line.bench) return runBench(*server, line);
  if (!line.packetFile.empty()) return runPackets(*server, line);
  return runExpressions(*server, line);
}

}  // namespace

int main(int argc, char** argv) {
  // No exception leaves the program as a raw C++ exception.
  try {
    return run(argc, argv);
  } catch (const CException& e) {
    std::cerr << "dhcp-eval: " << e.text() << std::endl;
  } catch (const std::exception& e) {
    std::cerr << "dhcp-eval: " << e.what() << std::endl;
  }
  return kExitFailure;
}
