// dhcp-eval: evaluates expressions of the DHCP server's expression language
// the way the server does, with the built-in functions.
//
//   dhcp-eval "\$LEFT('abcdef', 2) + 'x'"        # string "abx"
//   dhcp-eval --json '1 + 2' '\$NOSUCH()'        # one JSON object per line
//   dhcp-eval --trace "\$STARTSWITH('pktc1.0', 'docsis')"
//   dhcp-eval -f checks.txt                      # one expression per line
//   dhcp-eval                                    # interactive on a terminal
//   dhcp-eval -- -3                              # an expression beginning with "-"
//   dhcp-eval --dump capture.pcapng              # the packets as option trees
//
// Exit status: 0 when every expression evaluated, 1 when any failed, 2 for a
// usage error (unknown option, missing argument, unreadable file).
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/standard/CException.h"
#include "tools/dhcp-eval/CEvalCommand.h"
#include "tools/dhcp-eval/CExpressionFile.h"
#include "tools/dhcp-eval/CInteractivePrompt.h"
#include "tools/dhcp-eval/CToolHost.h"
#include "tools/dhcp-eval/DumpCommand.h"

namespace {

using qvt::CException;
using qvt::tool::CEvalCommand;
using qvt::tool::CExpressionFile;

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: dhcp-eval [OPTION]... [--] EXPRESSION...\n"
    "       dhcp-eval [OPTION]... -f FILE\n"
    "       dhcp-eval [OPTION]...\n"
    "       dhcp-eval --dump FILE [--json] [--family 4|6]\n"
    "\n"
    "Evaluates each EXPRESSION in order with the built-in functions, the way the\n"
    "DHCP server does, and prints its value with its type. Without an expression\n"
    "it reads one expression per line: interactively (with line editing and\n"
    "history in ~/.dhcp_eval_history; \"quit\" or end of input leaves) when\n"
    "standard input is a terminal, otherwise from standard input.\n"
    "\n"
    "options:\n"
    "  -f, --file FILE  read one expression per line from FILE (\"-\": standard\n"
    "                   input); blank lines and lines starting with \"#\" are skipped\n"
    "  --json           print one JSON object per expression per line:\n"
    "                   {\"expression\": E, \"type\": T, \"subtype\": S, \"value\": V}\n"
    "                   or {\"expression\": E, \"error\": {\"text\": X, \"description\": D,\n"
    "                   \"reason\": R, \"operation\": O, \"module\": M}}\n"
    "  --trace          print the postfix tokens and the syntax tree with the value\n"
    "                   of every node after the run\n"
    "  --key FILE       use the raw bytes of FILE as the shared server key of the\n"
    "                   cipher functions (default: a random key for this run)\n"
    "  --functions      list the registered function names, one per line\n"
    "  --dump FILE      print the DHCP packets of a capture or hex payload file\n"
    "                   as decoded option trees\n"
    "  --family 4|6     the protocol family of a hex payload for --dump\n"
    "  -h, --help       show this help\n"
    "  --version        show the version\n"
    "  --               end of options: every later argument is an expression\n"
    "\n"
    "Exit status: 0 when every expression evaluated, 1 when any failed, 2 for a\n"
    "usage error.\n";

// CSource: an expression given on the command line, or a file of them.
struct CSource {
  bool isFile;
  std::string text;
};

struct CCommandLine {
  std::vector<CSource> sources;
  bool json = false;
  bool trace = false;
  bool functions = false;
  bool help = false;
  bool version = false;
  bool dump = false;
  std::string dumpFile;
  std::string keyFile;
  int family = 0;
};

// CUsageError: a command line that cannot be run, with the message to show.
struct CUsageError {
  std::string message;
};

// optionValue: the value of an option that takes one, either after "=" in
// the same argument or as the next argument.
std::string optionValue(const std::string& name, const std::string* inlineValue, int& index,
                        int argc, char** argv) {
  if (inlineValue != nullptr) return *inlineValue;
  if (index + 1 >= argc) throw CUsageError{"option '" + name + "' requires an argument"};
  return argv[++index];
}

CCommandLine parseCommandLine(int argc, char** argv) {
  CCommandLine line;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
      line.sources.push_back(CSource{false, argument});
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = argument;
    std::string inlineText;
    const std::string* inlineValue = nullptr;
    const std::size_t equals = argument.find('=');
    if (argument.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      name = argument.substr(0, equals);
      inlineText = argument.substr(equals + 1);
      inlineValue = &inlineText;
    }
    const bool takesValue = name == "-f" || name == "--file" || name == "--key" ||
                            name == "--dump" || name == "--family";
    if (inlineValue != nullptr && !takesValue) {
      throw CUsageError{"option '" + name + "' takes no argument"};
    }
    if (name == "-f" || name == "--file") {
      line.sources.push_back(CSource{true, optionValue(name, inlineValue, i, argc, argv)});
    } else if (name == "--key") {
      line.keyFile = optionValue(name, inlineValue, i, argc, argv);
    } else if (name == "--dump") {
      line.dump = true;
      // In "--dump --json FILE" the next argument is an option: FILE is then
      // the first plain argument, taken after the loop.
      const bool nextIsOption = inlineValue == nullptr && i + 1 < argc &&
                                std::string(argv[i + 1]).rfind("--", 0) == 0 &&
                                std::string(argv[i + 1]) != "--";
      if (!nextIsOption) line.dumpFile = optionValue(name, inlineValue, i, argc, argv);
    } else if (name == "--family") {
      const std::string family = optionValue(name, inlineValue, i, argc, argv);
      if (family != "4" && family != "6") {
        throw CUsageError{"option '--family' takes 4 or 6, not '" + family + "'"};
      }
      line.family = family[0] - '0';
    } else if (name == "--json") {
      line.json = true;
    } else if (name == "--trace") {
      line.trace = true;
    } else if (name == "--functions") {
      line.functions = true;
    } else if (name == "-h" || name == "--help") {
      line.help = true;
    } else if (name == "--version") {
      line.version = true;
    } else {
      throw CUsageError{"unknown option '" + argument +
                        "' (put '--' before an expression that begins with '-')"};
    }
  }
  if (line.dump && line.dumpFile.empty()) {
    if (line.sources.empty() || line.sources.front().isFile) {
      throw CUsageError{"option '--dump' requires an argument"};
    }
    line.dumpFile = line.sources.front().text;
    line.sources.erase(line.sources.begin());
  }
  if (line.json && line.trace && !line.dump) {
    throw CUsageError{"options '--json' and '--trace' cannot be combined"};
  }
  return line;
}

int runDump(const CCommandLine& line) {
  qvt::tool::DumpOptions options;
  try {
    for (const CSource& source : line.sources) {
      if (!source.isFile) {
        options.expressions.push_back(source.text);
        continue;
      }
      CExpressionFile file(source.text);
      std::string expression;
      while (file.next(expression))
        options.expressions.push_back(expression);
    }
  } catch (const CException& e) {
    std::cerr << "dhcp-eval: " << e.text() << '\n';
    return kExitUsage;
  }
  options.file = line.dumpFile;
  options.json = line.json;
  options.family = line.family;
  options.trace = line.trace;
  options.keyFile = line.keyFile;
  return qvt::tool::runDump(options);
}

int listFunctions() {
  // The function table needs no host: nothing here runs a function.
  const qvt::CExpEval engine(nullptr);
  for (const std::string& name : engine.functionNames())
    std::cout << name << '\n';
  std::cout.flush();
  return kExitSuccess;
}

void evaluateFile(CEvalCommand& command, CExpressionFile& file) {
  std::string expression;
  while (file.next(expression))
    command.evaluate(expression);
}

void runInteractive(CEvalCommand& command) {
  qvt::tool::CInteractivePrompt prompt("dhcp-eval> ",
                                       qvt::tool::CInteractivePrompt::defaultHistoryPath());
  std::string line;
  while (prompt.readLine(line)) {
    if (CExpressionFile::isSkipped(line)) continue;
    const std::size_t first = line.find_first_not_of(" \t");
    const std::size_t last = line.find_last_not_of(" \t");
    if (line.compare(first, last - first + 1, "quit") == 0) return;
    command.evaluate(line);
  }
  std::cout << std::endl;
}

int runEvaluation(const CCommandLine& line) {
  qvt::tool::CToolHost host(std::cerr);
  // Everything the command line names is checked before the first
  // expression runs, so a usage error never follows partial output.
  std::vector<std::unique_ptr<CExpressionFile>> files;
  try {
    if (!line.keyFile.empty()) host.loadKeyFile(line.keyFile);
    for (const CSource& source : line.sources) {
      if (source.isFile) files.push_back(std::make_unique<CExpressionFile>(source.text));
    }
  } catch (const CException& e) {
    std::cerr << "dhcp-eval: " << e.text() << '\n';
    return kExitUsage;
  }

  CEvalCommand command(host, CEvalCommand::COptions{line.json, line.trace}, std::cout, std::cerr);
  try {
    if (line.sources.empty() && isatty(STDIN_FILENO)) {
      runInteractive(command);
    } else if (line.sources.empty()) {
      CExpressionFile input("-");
      evaluateFile(command, input);
    }
    std::size_t nextFile = 0;
    for (const CSource& source : line.sources) {
      if (source.isFile) {
        evaluateFile(command, *files[nextFile++]);
      } else {
        command.evaluate(source.text);
      }
    }
  } catch (const CException& e) {
    // evaluate never raises: this is a file that stopped being readable.
    std::cerr << "dhcp-eval: " << e.text() << '\n';
    return kExitUsage;
  }
  return command.failures() == 0 ? kExitSuccess : kExitFailure;
}

int run(int argc, char** argv) {
  CCommandLine line;
  try {
    line = parseCommandLine(argc, argv);
  } catch (const CUsageError& error) {
    std::cerr << "dhcp-eval: " << error.message << "\nTry 'dhcp-eval --help'.\n";
    return kExitUsage;
  }
  if (line.help) {
    std::cout << kUsage;
    return kExitSuccess;
  }
  if (line.version) {
    std::cout << "dhcp-eval " << DHCP_EVAL_VERSION << '\n';
    return kExitSuccess;
  }
  if (line.functions) return listFunctions();
  if (line.dump) return runDump(line);
  return runEvaluation(line);
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
