// DHCP evaluators: typical classification checks on a decoded, relayed DOCSIS
// DISCOVER, beside a hand-written C++ baseline reading the same tree; and the
// cost of a whole exchange as a server pays it (decode, instance, compile,
// execute), of building an evaluator, and of decoding alone. Every case
// reports "allocs/op".
//
//   dhcp_eval_bench --benchmark_filter=Dhcp
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "BenchHost.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/CILogger.h"
#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"
#include "class_b/dhcp/dhcp_eval/CDHCPEvalFactory.h"
#include "class_b/dhcp/dhcp_eval/CNodeContext.h"
#include "class_b/dhcp/dhcp_eval/COutputContext.h"
#include "class_b/dhcp/dhcp_eval/CProtocolContext.h"
#include "host/CDhcp4Decoder.h"

namespace qvt {
namespace {

using qvt::bench::CAllocationCounter;

using qvt::bench::CBenchHost;

class CBenchProtocol : public CProtocolContext {
 public:
  explicit CBenchProtocol(CIHostContext* host) : CProtocolContext(host, "dhcp4") {}
  CProtocolFamily protocolFamily() const override {
    return CProtocolFamily(CProtocolFamily::kIPv4);
  }
};

class CNoReply : public COutputContext {
 public:
  CGeneralPtr<COption> outgoingMessage() const override { return CGeneralPtr<COption>(); }
};

const char* const kChecks[] = {
    "$LEFT($CLASSID, 6) == 'docsis'",
    "$HWADDR == '00-11-22-33-44-55'",
    "$RELAY.CIRCUITID == 'port1'",
    "$CM || $MTA",
    "$IS_DISCOVER && $RELAY.REMOTEID == '01-02-03-04-05-06' && $RELAY.ADDRESS == 10.0.0.1",
};

// discover: a DISCOVER from 00:11:22:33:44:55 relayed by 10.0.0.1, option 60
// "docsis3.0", option 82 with circuit id "port1" and remote id 01:...:06.
std::vector<unsigned char> discover() {
  constexpr std::size_t kHeader = 236;
  const unsigned char options[] = {
      0x63, 0x82, 0x53, 0x63,                                                       // magic cookie
      53,   1,    1,                                                                // DISCOVER
      60,   9,    'd',  'o',  'c', 's', 'i', 's', '3', '.', '0',                    // vendor class
      82,   15,   1,    5,    'p', 'o', 'r', 't', '1', 2,   6,   1, 2, 3, 4, 5, 6,  // relay agent
      255};
  std::vector<unsigned char> m(kHeader + sizeof options, 0);
  m[0] = 1, m[1] = 1, m[2] = 6;
  m[24] = 10, m[27] = 1;
  for (int i = 0; i < 6; ++i)
    m[28 + i] = static_cast<unsigned char>(i * 0x11);
  std::copy(std::begin(options), std::end(options), m.begin() + kHeader);
  return m;
}

// CExchangeBench: the host's objects of one exchange around the DISCOVER.
struct CExchangeBench {
  CExchangeBench()
      : payload(discover()),
        node(nullptr, host::CDhcp4Decoder::shipped().decode(payload), {}, CIPAddress("10.0.0.2"),
             CIPAddress()),
        context(&hostContext) {}

  CGeneralPtr<CExpEval> instance() { return factory.instance(context, &node, &reply); }

  std::vector<unsigned char> payload;
  CBenchHost hostContext;
  CNodeContext node;
  CNoReply reply;
  CBenchProtocol context;
  CDHCPEvalFactory factory;
};

// isTrue: whether text gives true on eval; the cases check it before timing.
bool isTrue(CExpEval& eval, const char* text) {
  CVariant result;
  eval.execute(result, eval.compile(text));
  return result.isBoolean() && result.boolean();
}

void BM_DhcpExecute(benchmark::State& state, const char* text) {
  CExchangeBench exchange;
  const CGeneralPtr<CExpEval> eval = exchange.instance();
  if (!isTrue(*eval, text)) {
    state.SkipWithError("the check is not true on the DISCOVER");
    return;
  }
  const CGeneralPtr<CSyntaxTreeProxy> tree = eval->compile(text);
  CVariant result;
  CAllocationCounter counter(state);
  for (auto _ : state) {
    eval->execute(result, tree);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK_CAPTURE(BM_DhcpExecute, ClassIdLeft, kChecks[0])->Name("DhcpExecute/ClassIdLeft");
BENCHMARK_CAPTURE(BM_DhcpExecute, HwAddr, kChecks[1])->Name("DhcpExecute/HwAddr");
BENCHMARK_CAPTURE(BM_DhcpExecute, CircuitId, kChecks[2])->Name("DhcpExecute/CircuitId");
BENCHMARK_CAPTURE(BM_DhcpExecute, CmOrMta, kChecks[3])->Name("DhcpExecute/CmOrMta");
BENCHMARK_CAPTURE(BM_DhcpExecute, DiscoverRelay, kChecks[4])->Name("DhcpExecute/DiscoverRelay");

// The five checks written by hand against the same tree.
bool startsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool equalBytes(const CGeneralPtr<COption>& root, const CTagPath& path, const char* bytes,
                std::size_t length) {
  CGeneralPtr<COption> option;
  if (!root->tryGet(path, option, COptionType(), 0)) return false;
  const CHexStore& value = option->storage<CHexStore>()[0];
  return value.size() == length && std::memcmp(value.data(), bytes, length) == 0;
}

void BM_DhcpBaseline(benchmark::State& state) {
  CExchangeBench exchange;
  const CTagPath classId(60);
  const CTagPath chaddr(static_cast<std::uint32_t>(-30));
  const CTagPath circuitId("82/1");
  const CTagPath remoteId("82/2");
  const CTagPath messageType(53);
  const CTagPath giaddr(static_cast<std::uint32_t>(-21));
  const CIPAddress relay("10.0.0.1");
  const char hardware[] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
  const char remote[] = {1, 2, 3, 4, 5, 6};
  CAllocationCounter counter(state);
  for (auto _ : state) {
    const CGeneralPtr<COption> root = exchange.node.incoming();
    CGeneralPtr<COption> option;
    bool all = root->tryGet(classId, option, COptionType(), 0) &&
               startsWith(option->storage<std::string>()[0], "docsis");
    all = all && equalBytes(root, chaddr, hardware, sizeof hardware);
    all = all && equalBytes(root, circuitId, "port1", 5);
    all = all && root->tryGet(classId, option, COptionType(), 0) &&
          (startsWith(option->storage<std::string>()[0], "docsis") ||
           startsWith(option->storage<std::string>()[0], "pktc"));
    all = all && root->tryGet(messageType, option, COptionType(), 0) &&
          option->storage<std::uint8_t>()[0] == 1 && equalBytes(root, remoteId, remote, 6) &&
          root->tryGet(giaddr, option, COptionType(), 0) &&
          option->storage<CIPAddress>()[0] == relay;
    if (!all) {
      state.SkipWithError("the hand-written checks are not true on the DISCOVER");
      break;
    }
    benchmark::DoNotOptimize(all);
  }
}
BENCHMARK(BM_DhcpBaseline)->Name("DhcpBaseline/AllFiveChecks");

// The five checks through the evaluator, for comparison with the baseline.
void BM_DhcpExecuteAllFive(benchmark::State& state) {
  CExchangeBench exchange;
  const CGeneralPtr<CExpEval> eval = exchange.instance();
  std::array<CGeneralPtr<CSyntaxTreeProxy>, 5> trees;
  for (std::size_t i = 0; i < trees.size(); ++i) {
    if (!isTrue(*eval, kChecks[i])) {
      state.SkipWithError("a check is not true on the DISCOVER");
      return;
    }
    trees[i] = eval->compile(kChecks[i]);
  }
  CVariant result;
  CAllocationCounter counter(state);
  for (auto _ : state) {
    for (const CGeneralPtr<CSyntaxTreeProxy>& tree : trees) {
      eval->execute(result, tree);
      benchmark::DoNotOptimize(result);
    }
  }
}
BENCHMARK(BM_DhcpExecuteAllFive)->Name("DhcpExecute/AllFiveChecks");

// A whole exchange: decode the DISCOVER, build an evaluator, compile the five
// checks and execute each once.
void BM_DhcpExchange(benchmark::State& state) {
  CExchangeBench exchange;
  const host::CDhcp4Decoder& decoder = host::CDhcp4Decoder::shipped();
  CVariant result;
  CAllocationCounter counter(state);
  for (auto _ : state) {
    CNodeContext node(nullptr, decoder.decode(exchange.payload), {}, CIPAddress("10.0.0.2"),
                      CIPAddress());
    const CGeneralPtr<CExpEval> eval =
        exchange.factory.instance(exchange.context, &node, &exchange.reply);
    for (const char* text : kChecks) {
      eval->execute(result, eval->compile(text));
      benchmark::DoNotOptimize(result);
    }
  }
}
BENCHMARK(BM_DhcpExchange)->Name("DhcpExchange/DecodeInstanceCompileExecute5");

void BM_DhcpInstance(benchmark::State& state) {
  CExchangeBench exchange;
  CAllocationCounter counter(state);
  for (auto _ : state) {
    CGeneralPtr<CExpEval> eval = exchange.instance();
    benchmark::DoNotOptimize(eval.get());
  }
}
BENCHMARK(BM_DhcpInstance)->Name("DhcpInstance");

void BM_DhcpDecode(benchmark::State& state) {
  const std::vector<unsigned char> payload = discover();
  const host::CDhcp4Decoder& decoder = host::CDhcp4Decoder::shipped();
  CAllocationCounter counter(state);
  for (auto _ : state) {
    CGeneralPtr<COption> root = decoder.decode(payload);
    benchmark::DoNotOptimize(root.get());
  }
}
BENCHMARK(BM_DhcpDecode)->Name("DhcpDecode/Discover");

}  // namespace
}  // namespace qvt
