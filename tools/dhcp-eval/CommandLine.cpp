#include "tools/dhcp-eval/CommandLine.h"

#include <CLI/CLI.hpp>

#include <algorithm>

#include "tools/dhcp-eval/CliErrors.h"

namespace qvt::tool {

const char kUsage[] =
    "usage: dhcp-eval [OPTION]... [--] EXPRESSION...\n"
    "       dhcp-eval [OPTION]... -f FILE\n"
    "       dhcp-eval [OPTION]...\n"
    "       dhcp-eval [-4|-6] --packet FILE [--frame N] [OPTION]... [--] EXPR...\n"
    "       dhcp-eval [-4|-6] --packet FILE [--frame N] --classes FILE [OPTION]...\n"
    "       dhcp-eval [-4|-6] --bench --packet FILE [--rounds N] [OPTION]... EXPR...\n"
    "       dhcp-eval [-4|-6] --bench --packet FILE --classes FILE [OPTION]...\n"
    "       dhcp-eval --dump FILE [--json] [--family 4|6]\n"
    "       dhcp-eval kv --db DB COMMAND ...   (see 'dhcp-eval kv --help')\n"
    "\n"
    "Evaluates each EXPRESSION in order, the way the DHCP server does: with an\n"
    "evaluator that the evaluator module (dhcp_eval.so) hands out for a DHCP\n"
    "exchange, and prints its value with its type. Without --packet the\n"
    "exchange's messages are empty. Without an expression it reads one\n"
    "expression or command per line (':help' lists the commands, such as\n"
    "':packet FILE [FRAME]'): interactively (with line editing, Tab completion\n"
    "and history in ~/.dhcp_eval_history; \"quit\" or end of input leaves) when\n"
    "standard input is a terminal, otherwise from standard input. On a terminal\n"
    "--packet FILE without an expression opens the prompt with FILE loaded.\n"
    "\n"
    "options:\n"
    "  -f, --file FILE  read one expression per line from FILE (\"-\": standard\n"
    "                   input); blank lines and lines starting with \"#\" are skipped\n"
    "  --json           print one JSON object per expression per line:\n"
    "                   {\"expression\": E, \"type\": T, \"subtype\": S, \"value\": V}\n"
    "                   or {\"expression\": E, \"error\": {\"text\": X, \"description\": D,\n"
    "                   \"reason\": R, \"operation\": O, \"module\": M}}; with --packet\n"
    "                   each object starts with \"frame\": N\n"
    "  --trace          print the postfix tokens and the syntax tree with the value\n"
    "                   of every node after the run\n"
    "  --key FILE       use the raw bytes of FILE as the shared server key of the\n"
    "                   cipher functions (default: a random key for this run)\n"
    "  --functions      list the function names of the evaluator, one per line\n"
    "  -4, -6           the protocol family of the exchange (default 4)\n"
    "  --module FILE    the evaluator module to load (default: dhcp_eval.so next\n"
    "                   to the program, in ../lib/dhcp_eval/, or in the build tree)\n"
    "\n"
    "the exchange:\n"
    "  --packet FILE    the received message: a pcap or pcapng capture, or a text\n"
    "                   file holding one payload in hexadecimal; every DHCP packet\n"
    "                   of the family is evaluated, each with its own evaluator\n"
    "  --frame N        only frame N of the capture (frames are numbered from 1)\n"
    "  --reply FILE     the reply being built, read by $OUTP (default: empty)\n"
    "  --reply-frame N  the frame of the reply in --reply FILE (default: in --packet\n"
    "                   FILE)\n"
    "  --classes FILE   classify every packet by the classes of FILE (one\n"
    "                   \"name = expression\" per line): one line per packet with its\n"
    "                   frame, message type, client and the classes that hold\n"
    "  --kv DB          the key-value database of $DB.KEYVALUE (an SQLite file or a\n"
    "                   PostgreSQL connection text)\n"
    "  --db-timeout MS  how long a database operation waits for a lock (default\n"
    "                   5000)\n"
    "  --rules FILE     the provisioning rules of $PROV.RULE (\"RULE = VALUE\" lines)\n"
    "  --vendors FILE   the vendor classes (default: the bundled vendors.defs)\n"
    "  --server-ip ADDR, --device-id BYTES, --account NAME\n"
    "                   the node's $SERVER.IP, $DEVICE.ID and $PROV.ACCNAME\n"
    "\n"
    "  --bench          time the expressions (or the classes) on every message of\n"
    "                   --packet FILE: compile and execute per expression, then\n"
    "                   per message decoding and the whole exchange, with an\n"
    "                   evaluator per message and with one per worker; CPU time\n"
    "                   per call, the median of the rounds\n"
    "  --rounds N       rounds of about 20 ms for each --bench figure (default 7)\n"
    "\n"
    "  --dump FILE      print the DHCP packets of a capture or hex payload file\n"
    "                   as decoded option trees\n"
    "  --family 4|6     the protocol family of a hex payload for --dump\n"
    "  -h, --help       show this help\n"
    "  --version        show the version\n"
    "  --               end of options: every later argument is an expression\n"
    "\n"
    "Exit status: 0 when every expression evaluated, 1 when any failed, 2 for a\n"
    "usage error.\n";

namespace {

// kMaxRounds: the most rounds --rounds accepts.
constexpr std::uint64_t kMaxRounds = 1000;

// COptionSet: the CLI11 definition of the command line, bound to line.
class COptionSet {
 public:
  explicit COptionSet(CCommandLine& line) : line_(line) {
    app_.set_help_flag();
    app_.allow_extras();
    // -f and --file are separate options so that a message names the
    // spelling that was used.
    file_ = app_.add_option("-f", files_);
    fileLong_ = app_.add_option("--file", filesLong_);
    expressions_ = app_.add_option("expressions", expressionValues_);
    // "-f a b": b is an expression, not a second file.
    for (CLI::Option* option : {file_, fileLong_})
      option->allow_extra_args(false);
    _text("--key", line.keyFile);
    _text("--module", line.module);
    _text("--packet", line.packetFile);
    _text("--frame", frame_);
    _text("--reply", line.replyFile);
    _text("--reply-frame", replyFrame_);
    _text("--kv", line.kvDatabase);
    _text("--db-timeout", dbTimeout_);
    _text("--rules", line.rulesFile);
    _text("--vendors", line.vendorsFile);
    _text("--classes", line.classesFile);
    _text("--server-ip", serverIp_);
    _text("--device-id", deviceId_);
    _text("--account", line.account);
    _text("--family", dumpFamily_);
    _text("--rounds", rounds_);
    app_.add_option("--dump", line.dumpFile)
        ->expected(0, 1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    _flag("--json", line.json);
    _flag("--trace", line.trace);
    _flag("--functions", line.functions);
    _flag("--bench", line.bench);
    _flag("-h", line.help);
    _flag("--help", line.help);
    _flag("--version", line.version);
    _flag("-4", fourGiven_);
    _flag("-6", sixGiven_);
  }

  void parse(std::vector<std::string> arguments) {
    // CLI11 reads the vector from its back.
    std::reverse(arguments.begin(), arguments.end());
    try {
      app_.parse(arguments);
    } catch (const CLI::ParseError& e) {
      throw CUsageError{usageMessage(e)};
    }
    for (const std::string& extra : app_.remaining())
      throw CUsageError{unknownOptionMessage(extra)};
    line_.dump = app_.count("--dump") > 0;
    _collectSources();
  }

  void finish() {
    if (!frame_.empty()) line_.frame = parseCount("--frame", frame_, 1);
    if (!replyFrame_.empty()) line_.replyFrame = parseCount("--reply-frame", replyFrame_, 1);
    if (!dbTimeout_.empty()) {
      line_.dbTimeoutMs = static_cast<std::uint32_t>(parseCount("--db-timeout", dbTimeout_, 0));
    }
    if (!rounds_.empty()) {
      if (!line_.bench) throw CUsageError{"option '--rounds' needs '--bench'"};
      const std::uint64_t rounds = parseCount("--rounds", rounds_, 1);
      if (rounds > kMaxRounds) {
        throw CUsageError{"option '--rounds' takes a number from 1 to " +
                          std::to_string(kMaxRounds) + ", not '" + rounds_ + "'"};
      }
      line_.rounds = static_cast<unsigned>(rounds);
    }
    if (!dumpFamily_.empty()) {
      if (dumpFamily_ != "4" && dumpFamily_ != "6") {
        throw CUsageError{"option '--family' takes 4 or 6, not '" + dumpFamily_ + "'"};
      }
      line_.dumpFamily = dumpFamily_[0] - '0';
    }
    if (fourGiven_ && sixGiven_) throw CUsageError{"options '-4' and '-6' cannot be combined"};
    line_.familyGiven = fourGiven_ || sixGiven_;
    line_.family = sixGiven_ ? 6 : 4;
    if (app_.count("--server-ip") > 0) line_.serverIp = serverIp_;
    if (app_.count("--device-id") > 0) line_.deviceId = deviceId_;
  }

 private:
  CLI::Option* _text(const std::string& name, std::string& target) {
    return app_.add_option(name, target)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  }
  CLI::Option* _flag(const std::string& name, bool& target) {
    return app_.add_flag(name, target)->disable_flag_override();
  }

  // _collectSources: expressions and -f files in the order they were given.
  void _collectSources() {
    std::size_t nextFile = 0;
    std::size_t nextFileLong = 0;
    std::size_t nextExpression = 0;
    for (const CLI::Option* option : app_.parse_order()) {
      if (option == file_) {
        line_.sources.push_back(CSource{true, files_.at(nextFile++)});
      } else if (option == fileLong_) {
        line_.sources.push_back(CSource{true, filesLong_.at(nextFileLong++)});
      } else if (option == expressions_) {
        line_.sources.push_back(CSource{false, expressionValues_.at(nextExpression++)});
      }
    }
  }

  CCommandLine& line_;
  CLI::App app_{"dhcp-eval"};
  std::vector<std::string> files_;
  std::vector<std::string> filesLong_;
  std::vector<std::string> expressionValues_;
  CLI::Option* file_ = nullptr;
  CLI::Option* fileLong_ = nullptr;
  CLI::Option* expressions_ = nullptr;
  bool fourGiven_ = false;
  bool sixGiven_ = false;
  std::string frame_;
  std::string replyFrame_;
  std::string dbTimeout_;
  std::string dumpFamily_;
  std::string rounds_;
  std::string serverIp_;
  std::string deviceId_;
};

}  // namespace

std::uint64_t parseCount(const std::string& name, const std::string& text, std::uint64_t minimum) {
  const auto refuse = [&] {
    return CUsageError{"option '" + name + "' takes a number from " + std::to_string(minimum) +
                       ", not '" + text + "'"};
  };
  if (text.empty() || text.size() > 18 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    throw refuse();
  }
  const std::uint64_t value = std::stoull(text);
  if (value < minimum) throw refuse();
  return value;
}

CCommandLine parseCommandLine(int argc, const char* const* argv) {
  CCommandLine line;
  std::vector<std::string> afterDash;
  const std::vector<std::string> beforeDash = splitAtDoubleDash(argc, argv, afterDash);
  COptionSet options(line);
  options.parse(beforeDash);
  // Before "--" CLI11 takes "-3" for an expression; it is refused as an
  // option that does not exist, as it always was.
  for (const CSource& source : line.sources) {
    if (!source.isFile && source.text.size() > 1 && source.text[0] == '-') {
      throw CUsageError{unknownOptionMessage(source.text)};
    }
  }
  for (const std::string& expression : afterDash)
    line.sources.push_back(CSource{false, expression});
  options.finish();

  if (line.dump && line.dumpFile.empty()) {
    // "--dump --json FILE": FILE is the first plain argument.
    if (line.sources.empty() || line.sources.front().isFile) {
      throw CUsageError{"option '--dump' requires an argument"};
    }
    line.dumpFile = line.sources.front().text;
    line.sources.erase(line.sources.begin());
  }
  if (line.json && line.trace && !line.dump) {
    throw CUsageError{"options '--json' and '--trace' cannot be combined"};
  }
  const auto needs = [](bool given, const char* option, const char* needed) {
    if (given) {
      throw CUsageError{std::string("option '") + option + "' needs '" + needed + "'"};
    }
  };
  needs(line.frame.has_value() && line.packetFile.empty(), "--frame", "--packet");
  needs(!line.classesFile.empty() && line.packetFile.empty(), "--classes", "--packet");
  needs(line.replyFrame.has_value() && line.replyFile.empty() && line.packetFile.empty(),
        "--reply-frame", "--reply' or '--packet");
  if (line.replyFile.empty() && line.replyFrame) line.replyFile = line.packetFile;
  if (!line.classesFile.empty() && line.trace) {
    throw CUsageError{"options '--classes' and '--trace' cannot be combined"};
  }
  if (!line.classesFile.empty() && !line.sources.empty()) {
    throw CUsageError{"option '--classes' cannot be combined with expressions"};
  }
  if (line.dump && !line.packetFile.empty()) {
    throw CUsageError{"options '--dump' and '--packet' cannot be combined"};
  }
  needs(line.bench && line.packetFile.empty(), "--bench", "--packet");
  if (line.bench && line.trace) {
    throw CUsageError{"options '--bench' and '--trace' cannot be combined"};
  }
  return line;
}

}  // namespace qvt::tool
