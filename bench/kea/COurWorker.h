// COurWorker: our side of the benchmark on one thread: the host objects
// (HostStandIns), a DHCPv4 decoder, the plugin's evaluator factory, and a
// long-lived evaluator bound to a CWorkerNode with the five benchmark
// expressions compiled.
//
//   keabench::COurWorker worker(dictionary);
//   worker.prepare();                       // evaluator + compiled trees
//   keabench::COurWorker::Values values;
//   worker.perWorker(packet, values);       // decode, point, execute five
//   worker.exchange(packet, values);        // decode, instance, compile, execute
//
// Threads: one worker per thread (the decoder's vendor lookup and the
// evaluator are single-threaded); the dictionary may be shared.
#pragma once

#include <array>
#include <string>

#include "BenchExpressions.h"
#include "BenchPackets.h"
#include "CWorkerNode.h"
#include "HostStandIns.h"
#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/standard/CVariant.h"
#include "class_b/dhcp/dhcp_eval/CDHCPEvalFactory.h"
#include "host/CDhcp4Decoder.h"
#include "host/COptionDictionary.h"

namespace keabench {

class COurWorker {
 public:
  using Values = std::array<qvt::CVariant, kExpressionCount>;
  using Trees = std::array<qvt::CGeneralPtr<qvt::CSyntaxTreeProxy>, kExpressionCount>;

  // COurWorker: decodes with dictionary (not copied; must outlive the worker)
  // and the vendors of vendors.defs in dictionaryDirectory(). Raises the
  // vendor file's load errors.
  explicit COurWorker(const qvt::COptionDictionary& dictionary);
  COurWorker(const COurWorker&) = delete;
  COurWorker& operator=(const COurWorker&) = delete;

  // prepare: builds the long-lived evaluator over node() and compiles the
  // five expressions. Raises the CException of instance (family 4 without an
  // evaluator: "Cannot create an evaluator instance.") and of compile.
  void prepare();

  // decode: the option tree of packet (CDhcp4Decoder's errors).
  qvt::CGeneralPtr<qvt::COption> decode(const CPacket& packet) const {
    return decoder_.decode(packet);
  }
  // instance: a new evaluator bound to node and to an output context
  // without a reply.
  qvt::CGeneralPtr<qvt::CExpEval> instance(CNodeContext* node);
  // makeNode: a node context of this worker's server holding message.
  CNodeContext makeNode(qvt::CGeneralPtr<qvt::COption> message) const;

  // exchange: what a server does that builds an evaluator per exchange:
  // decode, node context, instance, compile and execute the five.
  void exchange(const CPacket& packet, Values& values);
  // perWorker: what a server does with a long-lived evaluator: decode, point
  // the node context at the message, execute the five compiled trees.
  void perWorker(const CPacket& packet, Values& values);
  // executeAll: the five compiled trees against the message node() holds.
  void executeAll(Values& values);

  // compileUncached: parse and build a tree for text without the
  // evaluator's cache (the engine's own compile), as a cache miss does.
  qvt::CGeneralPtr<qvt::CSyntaxTreeProxy> compileUncached(const std::string& text);

  qvt::CExpEval& evaluator() { return *evaluator_; }
  const Trees& trees() const { return trees_; }
  CWorkerNode& node() { return node_; }
  const CBenchServer& server() const { return server_; }

  // dictionaryDirectory: where dhcp4.defs and vendors.defs are read from:
  // $DHCP_EVAL_DICTIONARIES when set, else the source tree's
  // host/dictionaries (the benchmark is not installed).
  static std::string dictionaryDirectory();

  // serverAddress, relayAddress: the server's address and the address
  // every benchmark message is received from.
  static const qvt::CIPAddress& serverAddress();
  static const qvt::CIPAddress& relayAddress();

  // truths: each value read as a condition (a boolean that is true).
  static CConditions truths(const Values& values);

 private:
  CBenchHostContext hostContext_;
  CBenchProtocolContext protocol_;
  qvt::CGeneralPtr<qvt::CVendorLookup> vendors_;
  qvt::host::CDhcp4Decoder decoder_;
  CBenchServer server_;
  CNoReply reply_;
  qvt::CDHCPEvalFactory factory_;
  CWorkerNode node_;
  qvt::CGeneralPtr<qvt::CExpEval> evaluator_;
  Trees trees_;
};

}  // namespace keabench
