#include "tools/dhcp-eval/CPromptSession.h"

#include <optional>
#include <utility>

#include "class_a/standard/BoundedLine.h"
#include "tools/dhcp-eval/CExpressionFile.h"
#include "tools/dhcp-eval/CPacketSource.h"
#include "tools/dhcp-eval/CommandLine.h"
#include "tools/dhcp-eval/PromptInput.h"
#include "tools/dhcp-eval/ValueText.h"

namespace qvt::tool {

namespace {

constexpr const char kHelp[] =
    "Type an expression to evaluate it; one with quotes or parentheses still open\n"
    "goes on over the next lines. Tab completes function names.\n"
    "  :packet FILE [FRAME]  evaluate against the DHCP messages of a capture or hex\n"
    "                        file (every one, or frame FRAME); ':packet' alone tells\n"
    "                        what is loaded; quote a FILE with blanks: 'a b.pcap'\n"
    "  :trace on|off         print the postfix tokens and the syntax tree\n"
    "  :help                 this text\n"
    "  quit                  leave (so does the end of input)\n";

// wordsOf: the blank-separated words of line; a word that begins with a
// quote (' or ") runs to the same quote, blanks included, so a file name
// with blanks can be given.
std::vector<std::string> wordsOf(const std::string& line) {
  std::vector<std::string> words;
  std::size_t position = 0;
  while ((position = line.find_first_not_of(" \t", position)) != std::string::npos) {
    const char quote = line[position];
    if (quote == '\'' || quote == '"') {
      const std::size_t close = line.find(quote, position + 1);
      if (close != std::string::npos) {
        words.push_back(line.substr(position + 1, close - position - 1));
        position = close + 1;
        continue;
      }
    }
    const std::size_t end = line.find_first_of(" \t", position);
    words.push_back(line.substr(position, end - position));
    position = end;
  }
  return words;
}

bool isQuit(const std::string& line) {
  const std::vector<std::string> words = wordsOf(line);
  return words.size() == 1 && words.front() == "quit";
}

}  // namespace

// CLoaded: a received message with its exchange; the evaluator goes first.
struct CPromptSession::CLoaded {
  std::optional<std::uint64_t> frame;
  std::unique_ptr<host::CHostExchange> exchange;
  CGeneralPtr<CExpEval> evaluator;
};

CPromptSession::CPromptSession(CToolServer& server, CGeneralPtr<COption> reply,
                               CEvalCommand& command, std::ostream& out, std::ostream& err)
    : server_(server), reply_(std::move(reply)), command_(command), out_(out), err_(err) {
  auto empty = std::make_unique<CLoaded>();
  empty->exchange = server_.exchange(server_.emptyMessage(), reply_);
  empty->evaluator = empty->exchange->evaluator();
  names_ = empty->evaluator->functionNames();
  loaded_.push_back(std::move(empty));
}

CPromptSession::~CPromptSession() = default;

void CPromptSession::run(CILineSource& lines) {
  std::string line;
  while (lines.readLine(line, false)) {
    if (CExpressionFile::isSkipped(line)) continue;
    if (isQuit(line)) return;
    if (line[line.find_first_not_of(" \t")] == ':') {
      lines.entered(line);
      _command(line);
      continue;
    }
    std::string expression = line;
    CInputBalance balance = inputBalance(expression);
    bool tooLong = false;
    while (!balance.complete()) {
      open_ = balance;
      if (!lines.readLine(line, true)) break;
      // A comment between the lines of an expression is left out; inside a
      // quote the line is text.
      if (!balance.inQuote && CExpressionFile::isSkipped(line)) continue;
      // Past the bound the rest of the expression is still read, only not
      // kept, so that its lines are not taken for expressions of their own.
      tooLong = tooLong || expression.size() + line.size() >= kMaxLineLength;
      if (tooLong) {
        balance.scan(line);
      } else {
        continueInput(expression, balance, line);
      }
    }
    open_ = CInputBalance();
    if (tooLong) {
      _refuse("an expression continued over lines is longer than " +
              std::to_string(kMaxLineLength) + " bytes; it is left out");
      continue;
    }
    lines.entered(expression);
    _evaluate(expression);
  }
}

CCompletion CPromptSession::complete(const std::string& line, std::size_t cursor) const {
  return completeAt(line, cursor, names_, open_);
}

void CPromptSession::_command(const std::string& line) {
  const std::vector<std::string> words = wordsOf(line);
  const std::vector<std::string> arguments(words.begin() + 1, words.end());
  if (words.front() == ":packet") {
    _packet(arguments);
  } else if (words.front() == ":trace") {
    _trace(arguments);
  } else if (words.front() == ":help") {
    _help();
  } else {
    _refuse("unknown command '" + words.front() + "'; ':help' lists the commands");
  }
}

void CPromptSession::_packet(const std::vector<std::string>& arguments) {
  if (arguments.empty()) {
    if (!loaded_.front()->frame) {
      _report() << "no packet loaded: expressions run against an empty "
                << CPacketSource::familyName(server_.family()) << " message\n";
    } else if (loaded_.size() == 1) {
      _report() << "loaded frame " << *loaded_.front()->frame << " of '"
                << printableText(packetFile_) << "'\n";
    } else {
      _report() << "loaded " << loaded_.size() << ' ' << CPacketSource::familyName(server_.family())
                << " messages of '" << printableText(packetFile_) << "'\n";
    }
    return;
  }
  if (arguments.size() > 2) {
    _refuse("':packet' takes FILE and an optional FRAME");
    return;
  }
  std::optional<std::uint64_t> frame;
  if (arguments.size() == 2) {
    try {
      frame = parseCount(":packet", arguments[1], 1);
    } catch (const CUsageError&) {
      _refuse("':packet' takes a frame number from 1, not '" + printableText(arguments[1]) + "'");
      return;
    }
  }
  load(arguments[0], frame);
}

bool CPromptSession::load(const std::string& file, std::optional<std::uint64_t> frame) {
  std::vector<std::unique_ptr<CLoaded>> loaded;
  try {
    CPacketSource source(file, server_.family(), frame);
    CPacket packet;
    while (source.next(packet)) {
      CGeneralPtr<COption> request;
      try {
        request = server_.decode(packet.payload);
      } catch (const CException& e) {
        command_.packetFailed(packet.frame, e);
        continue;
      }
      auto message = std::make_unique<CLoaded>();
      message->frame = packet.frame;
      message->exchange = server_.exchange(request, reply_);
      message->evaluator = message->exchange->evaluator();
      loaded.push_back(std::move(message));
    }
    if (source.delivered() == 0) throw source.noPacketError();
  } catch (const CException& e) {
    _refuse(printableText(e.text()));
    return false;
  }
  if (loaded.empty()) {
    _refuse("nothing loaded: no message of '" + printableText(file) + "' could be decoded");
    return false;
  }
  loaded_ = std::move(loaded);
  packetFile_ = file;
  _packet({});
  return true;
}

void CPromptSession::_trace(const std::vector<std::string>& arguments) {
  if (arguments.empty()) {
    _report() << "trace is " << (command_.options().trace ? "on" : "off") << '\n';
  } else if (arguments.size() == 1 && (arguments[0] == "on" || arguments[0] == "off")) {
    command_.setTrace(arguments[0] == "on");
  } else {
    std::string given = arguments[0];
    for (std::size_t i = 1; i < arguments.size(); ++i)
      given += ' ' + arguments[i];
    _refuse("':trace' takes 'on' or 'off', not '" + printableText(given) + "'");
  }
}

void CPromptSession::_help() {
  _report() << kHelp;
}

void CPromptSession::_evaluate(const std::string& expression) {
  for (const std::unique_ptr<CLoaded>& message : loaded_)
    command_.evaluate(*message->evaluator, expression, message->frame);
}

void CPromptSession::_refuse(const std::string& text) {
  ++failures_;
  out_.flush();
  err_ << "error: " << text << '\n';
  err_.flush();
}

std::ostream& CPromptSession::_report() {
  return command_.options().json ? err_ : out_;
}

}  // namespace qvt::tool
