#include "tools/dhcp-eval/BenchCommand.h"

#include <cstdio>
#include <iostream>
#include <memory>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "tools/dhcp-eval/CBenchTimer.h"
#include "tools/dhcp-eval/CClassFile.h"
#include "tools/dhcp-eval/CJsonWriter.h"
#include "tools/dhcp-eval/CPacketSource.h"
#include "tools/dhcp-eval/ExceptionJson.h"
#include "tools/dhcp-eval/PacketCommand.h"
#include "tools/dhcp-eval/ValueText.h"

namespace qvt::tool {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// CEntry: one expression to time, with its trees (one per message) and
// figures.
struct CEntry {
  std::string className;  // empty for a plain expression
  std::string expression;
  std::optional<CException> error;  // set when it does not compile
  std::vector<CGeneralPtr<CSyntaxTreeProxy>> trees;
  std::size_t raised = 0;  // messages it raised on
  double compileNs = 0;
  double executeNs = 0;
};

// CMessage: one decoded message in its exchange.
struct CMessage {
  std::uint64_t frame;
  std::vector<unsigned char> payload;
  std::unique_ptr<host::CHostExchange> exchange;
  CGeneralPtr<CExpEval> evaluator;
};

// duration: a time for people: "80.3 ns", "1.03 us", "2.50 ms".
std::string duration(double nanos) {
  char text[32];
  if (nanos < 1000) {
    std::snprintf(text, sizeof text, "%.1f ns", nanos);
  } else if (nanos < 1e6) {
    std::snprintf(text, sizeof text, "%.2f us", nanos / 1e3);
  } else {
    std::snprintf(text, sizeof text, "%.2f ms", nanos / 1e6);
  }
  return text;
}

std::string column(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::int64_t rounded(double nanos) {
  return static_cast<std::int64_t>(nanos + 0.5);
}

void printFailure(const CException& e) {
  std::cout.flush();
  std::cerr << "dhcp-eval: " << printableText(e.text()) << std::endl;
}

// CBench: one run of the command.
class CBench {
 public:
  CBench(CToolServer& server, const CBenchOptions& options)
      : server_(server), options_(options), timer_(options.rounds) {}

  int run() {
    try {
      _read();
    } catch (const CException& e) {
      printFailure(e);
      return kExitUsage;
    }
    _decode();
    if (messages_.empty()) {
      std::cerr << "dhcp-eval: no message of '" << options_.packetFile
                << "' could be decoded; nothing to time" << std::endl;
      return kExitFailed;
    }
    _prepare();
    _time();
    _print();
    bool failed = undecoded_ != 0;
    for (const CEntry& entry : entries_)
      failed = failed || entry.error || entry.raised != 0;
    return failed ? kExitFailed : kExitOk;
  }

 private:
  // _read: the reply, the entries and every message of the capture.
  void _read() {
    reply_ = readReply(server_, options_.replyFile, options_.replyFrame);
    if (!options_.classesFile.empty()) {
      const CClassFile classes = CClassFile::readFile(options_.classesFile);
      for (const CClassFile::CClass& entry : classes.classes())
        entries_.push_back(CEntry{entry.name, entry.expression, std::nullopt, {}, 0, 0, 0});
    } else {
      for (const std::string& expression : options_.expressions)
        entries_.push_back(CEntry{std::string(), expression, std::nullopt, {}, 0, 0, 0});
    }
    CPacketSource source(options_.packetFile, server_.family(), options_.frame);
    CPacket packet;
    while (source.next(packet))
      packets_.push_back(packet);
    if (packets_.empty()) throw source.noPacketError();
  }

  // _decode: an exchange and evaluator for every message that decodes.
  void _decode() {
    for (CPacket& packet : packets_) {
      try {
        CMessage message{packet.frame, packet.payload, nullptr, CGeneralPtr<CExpEval>()};
        message.exchange = server_.exchange(server_.decode(packet.payload), reply_);
        message.evaluator = message.exchange->evaluator();
        messages_.push_back(std::move(message));
      } catch (const CException& e) {
        ++undecoded_;
        _printPacketFailure(packet.frame, e);
      }
    }
  }

  // _prepare: each entry compiled in every message's evaluator (its cache
  // then holds the tree) and run once, counting the messages it raises on.
  void _prepare() {
    for (CEntry& entry : entries_) {
      try {
        for (CMessage& message : messages_)
          entry.trees.push_back(message.evaluator->compile(entry.expression));
      } catch (const CException& e) {
        entry.error = e;
        entry.trees.clear();
        continue;
      }
      for (std::size_t index = 0; index < messages_.size(); ++index) {
        CVariant value;
        try {
          messages_[index].evaluator->execute(value, entry.trees[index]);
        } catch (const CException&) {
          ++entry.raised;
        }
      }
    }
  }

  void _time() {
    const double count = static_cast<double>(messages_.size());
    CExpEval& first = *messages_.front().evaluator;
    for (CEntry& entry : entries_) {
      if (entry.error) continue;
      // A qualified call leaves out the evaluator's cache: the work of a
      // first compile of the text.
      entry.compileNs = timer_.nanosPerCall([&] { first.CExpEval::compile(entry.expression); });
      entry.executeNs = timer_.nanosPerCall([&] { _executeEach(entry); }) / count;
    }
    compileAllNs_ = timer_.nanosPerCall([&] {
      for (const CEntry& entry : entries_) {
        if (!entry.error) first.CExpEval::compile(entry.expression);
      }
    });
    executeAllNs_ = timer_.nanosPerCall([&] {
      for (const CEntry& entry : entries_) {
        if (!entry.error) _executeEach(entry);
      }
    }) / count;
    decodeNs_ = timer_.nanosPerCall([&] {
      for (const CMessage& message : messages_)
        server_.decode(message.payload);
    }) / count;
    evaluatorNs_ = timer_.nanosPerCall([&] { messages_.front().exchange->evaluator(); });
    exchangeNs_ = timer_.nanosPerCall([&] {
      for (const CMessage& message : messages_)
        _exchangeOfItsOwn(message.payload);
    }) / count;
    const std::unique_ptr<host::CHostExchange> worker =
        server_.exchange(server_.emptyMessage(), reply_);
    const CGeneralPtr<CExpEval> workerEvaluator = worker->evaluator();
    std::vector<CGeneralPtr<CSyntaxTreeProxy>> trees;
    for (const CEntry& entry : entries_) {
      if (!entry.error) trees.push_back(workerEvaluator->compile(entry.expression));
    }
    workerExchangeNs_ = timer_.nanosPerCall([&] {
      for (const CMessage& message : messages_) {
        worker->nodeContext().setIncoming(server_.decode(message.payload));
        for (const CGeneralPtr<CSyntaxTreeProxy>& tree : trees)
          _execute(*workerEvaluator, tree);
      }
    }) / count;
  }

  void _executeEach(const CEntry& entry) const {
    for (std::size_t index = 0; index < messages_.size(); ++index)
      _execute(*messages_[index].evaluator, entry.trees[index]);
  }

  static void _execute(CExpEval& evaluator, const CGeneralPtr<CSyntaxTreeProxy>& tree) {
    CVariant value;
    try {
      evaluator.execute(value, tree);
    } catch (const CException&) {
      // Raising is part of what the expression costs on this message.
    }
  }

  // _exchangeOfItsOwn: what a server does that makes an evaluator per
  // received message.
  void _exchangeOfItsOwn(const std::vector<unsigned char>& payload) {
    const std::unique_ptr<host::CHostExchange> exchange =
        server_.exchange(server_.decode(payload), reply_);
    const CGeneralPtr<CExpEval> evaluator = exchange->evaluator();
    for (const CEntry& entry : entries_) {
      if (!entry.error) _execute(*evaluator, evaluator->compile(entry.expression));
    }
  }

  void _printPacketFailure(std::uint64_t frame, const CException& e) const {
    if (!options_.json) {
      std::cerr << "error: frame " << frame << ": " << printableText(e.text()) << '\n';
      return;
    }
    CJsonWriter json;
    json.beginObject().member("frame", frame).key("error");
    writeException(json, e);
    json.endObject();
    std::cout << json.text() << '\n';
  }

  std::string _label(const CEntry& entry) const {
    return entry.className.empty() ? entry.expression : entry.className + " = " + entry.expression;
  }

  void _print() const {
    if (options_.json) {
      _printJson();
      return;
    }
    std::size_t compiled = 0;
    for (const CEntry& entry : entries_)
      compiled += entry.error ? 0 : 1;
    std::cout << "dhcp-eval --bench: " << entries_.size()
              << (entries_.size() == 1 ? " expression on " : " expressions on ") << messages_.size()
              << ' ' << CPacketSource::familyName(server_.family())
              << (messages_.size() == 1 ? " message of " : " messages of ") << options_.packetFile
              << "\nCPU time per call, median of " << timer_.rounds()
              << (timer_.rounds() == 1 ? " round" : " rounds")
              << " of about 20 ms; execute is the mean over the messages.\n\n"
              << column("compile", 10) << column("execute", 11) << "  expression\n";
    for (const CEntry& entry : entries_) {
      if (entry.error) {
        std::cout << column("-", 10) << column("-", 11) << "  " << printableText(_label(entry))
                  << "\n"
                  << std::string(23, ' ') << "error: " << printableText(entry.error->text())
                  << '\n';
        continue;
      }
      std::cout << column(duration(entry.compileNs), 10) << column(duration(entry.executeNs), 11)
                << "  " << printableText(_label(entry));
      if (entry.raised != 0) {
        std::cout << "  (raises on " << entry.raised << " of " << messages_.size()
                  << (messages_.size() == 1 ? " message)" : " messages)");
      }
      std::cout << '\n';
    }
    std::cout << column(duration(compileAllNs_), 10) << column(duration(executeAllNs_), 11)
              << "  all " << compiled << " that compile\n\nper message:\n"
              << column(duration(decodeNs_), 10) << "  decode\n"
              << column(duration(evaluatorNs_), 10) << "  make an evaluator\n"
              << column(duration(exchangeNs_), 10)
              << "  exchange with an evaluator of its own: decode, evaluator, compile and "
                 "execute all\n"
              << column(duration(workerExchangeNs_), 10)
              << "  exchange with one evaluator per worker: decode, execute all\n";
    std::cout.flush();
  }

  void _printJson() const {
    for (const CEntry& entry : entries_) {
      CJsonWriter json;
      json.beginObject();
      if (!entry.className.empty()) json.member("class", entry.className);
      json.member("expression", entry.expression);
      if (entry.error) {
        json.key("error");
        writeException(json, *entry.error);
      } else {
        json.member("compile_ns", rounded(entry.compileNs))
            .member("execute_ns", rounded(entry.executeNs))
            .member("raised", entry.raised);
      }
      json.endObject();
      std::cout << json.text() << '\n';
    }
    CJsonWriter json;
    json.beginObject()
        .member("messages", messages_.size())
        .member("decode_ns", rounded(decodeNs_))
        .member("evaluator_ns", rounded(evaluatorNs_))
        .member("exchange_ns", rounded(exchangeNs_))
        .member("worker_exchange_ns", rounded(workerExchangeNs_))
        .endObject();
    std::cout << json.text() << std::endl;
  }

  CToolServer& server_;
  const CBenchOptions& options_;
  CBenchTimer timer_;
  CGeneralPtr<COption> reply_;
  std::vector<CEntry> entries_;
  std::vector<CPacket> packets_;
  std::vector<CMessage> messages_;
  std::size_t undecoded_ = 0;
  double compileAllNs_ = 0;
  double executeAllNs_ = 0;
  double decodeNs_ = 0;
  double evaluatorNs_ = 0;
  double exchangeNs_ = 0;
  double workerExchangeNs_ = 0;
};

}  // namespace

int runBench(CToolServer& server, const CBenchOptions& options) {
  return CBench(server, options).run();
}

}  // namespace qvt::tool
