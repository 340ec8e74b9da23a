// Value-model benchmarks: making, copying, converting and comparing variants,
// each beside a hand-written C++ baseline doing the same work on plain types.
//
// Every case reports "allocs/op", the heap allocations per iteration
// (CAllocationCounter).
#include <arpa/inet.h>
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "AllocationCounter.h"
#include "class_a/standard/CVariant.h"

namespace qvt {
namespace {

using qvt::bench::CAllocationCounter;

// Making a variant from text (type guessing) ----------------------------------

void BM_VariantFromText(benchmark::State& state, const char* text) {
  const std::string input(text);
  CAllocationCounter counter(state);
  for (auto _ : state) {
    CVariant v = CVariant::fromText(input);
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK_CAPTURE(BM_VariantFromText, uinteger, "12345");
BENCHMARK_CAPTURE(BM_VariantFromText, integer, "-42");
BENCHMARK_CAPTURE(BM_VariantFromText, boolean, "true");
BENCHMARK_CAPTURE(BM_VariantFromText, ipv4, "10.0.0.1");
BENCHMARK_CAPTURE(BM_VariantFromText, ipv6, "fe80::1:2");
BENCHMARK_CAPTURE(BM_VariantFromText, ipv6_long, "2001:0db8:0000:0000:0000:ff00:0042:8329");
BENCHMARK_CAPTURE(BM_VariantFromText, endpoint, "10.0.0.1:67");
BENCHMARK_CAPTURE(BM_VariantFromText, time, "Thu Jan  1 00:00:00 1970");
BENCHMARK_CAPTURE(BM_VariantFromText, byte_sequence, "0a-1b-2c-3d-4e-5f");
BENCHMARK_CAPTURE(BM_VariantFromText, quoted_string, "\"docsis3.0\"");
BENCHMARK_CAPTURE(BM_VariantFromText, function_name, "$STARTSWITH");
BENCHMARK_CAPTURE(BM_VariantFromText, plain_string, "provisioning-rule-17");

void BM_BaselineParseUInt(benchmark::State& state) {
  const std::string input("12345");
  CAllocationCounter counter(state);
  for (auto _ : state) {
    std::uint64_t value = 0;
    std::from_chars(input.data(), input.data() + input.size(), value);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_BaselineParseUInt);

// Copies ------------------------------------------------------------------------

void BM_CopyInteger(benchmark::State& state) {
  const CVariant source(std::int64_t{123456789});
  CAllocationCounter counter(state);
  for (auto _ : state) {
    CVariant copy(source);
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(BM_CopyInteger);

void BM_BaselineCopyInt64(benchmark::State& state) {
  std::int64_t source = 123456789;
  CAllocationCounter counter(state);
  for (auto _ : state) {
    benchmark::DoNotOptimize(source);
    std::int64_t copy = source;
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(BM_BaselineCopyInt64);

void BM_CopyString20(benchmark::State& state) {
  const CVariant source = CVariant::fromString("docsis3.0:cm-1234567");  // 20 bytes
  CAllocationCounter counter(state);
  for (auto _ : state) {
    CVariant copy(source);
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(BM_CopyString20);

void BM_BaselineCopyStdString20(benchmark::State& state) {
  const std::string source("docsis3.0:cm-1234567");
  CAllocationCounter counter(state);
  for (auto _ : state) {
    std::string copy(source);
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(BM_BaselineCopyStdString20);

// Operators ---------------------------------------------------------------------

void BM_AddIntegers(benchmark::State& state) {
  const CVariant a(std::int64_t{40});
  const CVariant b(std::int64_t{2});
  CAllocationCounter counter(state);
  for (auto _ : state) {
    CVariant sum = a + b;
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_AddIntegers);

void BM_AddIntegerAndString(benchmark::State& state) {
  const CVariant a(std::int64_t{40});
  const CVariant b = CVariant::fromString("2");
  CAllocationCounter counter(state);
  for (auto _ : state) {
    CVariant sum = a + b;  // the right operand converts
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_AddIntegerAndString);

void BM_BaselineAddInt64(benchmark::State& state) {
  std::int64_t a = 40;
  std::int64_t b = 2;
  CAllocationCounter counter(state);
  for (auto _ : state) {
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(b);
    std::int64_t sum = a + b;
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_BaselineAddInt64);

void BM_StringEquals(benchmark::State& state) {
  const CVariant a = CVariant::fromString("docsis3.0:cm-1234567");
  const CVariant b = CVariant::fromString("docsis3.0:cm-1234567");
  CAllocationCounter counter(state);
  for (auto _ : state) {
    bool equal = a == b;
    benchmark::DoNotOptimize(equal);
  }
}
BENCHMARK(BM_StringEquals);

void BM_BaselineStdStringEquals(benchmark::State& state) {
  const std::string a("docsis3.0:cm-1234567");
  const std::string b("docsis3.0:cm-1234567");
  CAllocationCounter counter(state);
  for (auto _ : state) {
    bool equal = a == b;
    benchmark::DoNotOptimize(equal);
  }
}
BENCHMARK(BM_BaselineStdStringEquals);

void BM_UIntegerLess(benchmark::State& state) {
  const CVariant a(std::uint64_t{17});
  const CVariant b(std::uint64_t{42});
  CAllocationCounter counter(state);
  for (auto _ : state) {
    bool less = a < b;
    benchmark::DoNotOptimize(less);
  }
}
BENCHMARK(BM_UIntegerLess);

void BM_BaselineUInt64Less(benchmark::State& state) {
  std::uint64_t a = 17;
  std::uint64_t b = 42;
  CAllocationCounter counter(state);
  for (auto _ : state) {
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(b);
    bool less = a < b;
    benchmark::DoNotOptimize(less);
  }
}
BENCHMARK(BM_BaselineUInt64Less);

// Conversions -------------------------------------------------------------------

void BM_IntegerToByteSequence(benchmark::State& state) {
  const CVariant source(std::int64_t{300});
  CAllocationCounter counter(state);
  for (auto _ : state) {
    CVariant v(source);
    v.convert(CVariantType::kHexStore);
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(BM_IntegerToByteSequence);

void BM_BaselineInt64ToBigEndian(benchmark::State& state) {
  std::int64_t source = 300;
  CAllocationCounter counter(state);
  for (auto _ : state) {
    benchmark::DoNotOptimize(source);
    unsigned char bytes[8];
    auto value = static_cast<std::uint64_t>(source);
    std::size_t length = 1;
    while (length < 6 && (value >> (8 * length)) != 0)
      ++length;
    for (std::size_t i = 0; i < length; ++i)
      bytes[length - 1 - i] = value >> (8 * i);
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_BaselineInt64ToBigEndian);

void BM_ByteSequenceToString(benchmark::State& state) {
  const CVariant source = CVariant::fromText("00-1a-2b-3c-4d-5e");  // a hardware address
  CAllocationCounter counter(state);
  for (auto _ : state) {
    CVariant v(source);
    v.convert(CVariantType::kString);
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(BM_ByteSequenceToString);

void BM_ByteSequenceToStdString(benchmark::State& state) {
  const CVariant source = CVariant::fromText("00-1a-2b-3c-4d-5e");
  CAllocationCounter counter(state);
  for (auto _ : state) {
    std::string text = source.string();  // the getter hands out a std::string
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_ByteSequenceToStdString);

void BM_BaselineHexText(benchmark::State& state) {
  const unsigned char bytes[] = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
  CAllocationCounter counter(state);
  for (auto _ : state) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char text[3 * sizeof bytes];
    for (std::size_t i = 0; i < sizeof bytes; ++i) {
      text[3 * i] = kDigits[bytes[i] >> 4];
      text[3 * i + 1] = kDigits[bytes[i] & 0x0F];
      text[3 * i + 2] = '-';
    }
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_BaselineHexText);

// Addresses ---------------------------------------------------------------------

void BM_IPAddressParse(benchmark::State& state) {
  const std::string text("192.168.100.200");
  CAllocationCounter counter(state);
  for (auto _ : state) {
    CVariant v(CVariantType::kIPAddress, text);
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(BM_IPAddressParse);

void BM_BaselineInetPton(benchmark::State& state) {
  const std::string text("192.168.100.200");
  CAllocationCounter counter(state);
  for (auto _ : state) {
    in_addr address{};
    benchmark::DoNotOptimize(inet_pton(AF_INET, text.c_str(), &address));
    benchmark::DoNotOptimize(address);
  }
}
BENCHMARK(BM_BaselineInetPton);

void BM_IPAddressPrint(benchmark::State& state) {
  const CVariant source = CVariant::fromText("192.168.100.200");
  CAllocationCounter counter(state);
  for (auto _ : state) {
    CVariant v(source);
    v.convert(CVariantType::kString);
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(BM_IPAddressPrint);

void BM_BaselineInetNtop(benchmark::State& state) {
  in_addr address{};
  inet_pton(AF_INET, "192.168.100.200", &address);
  CAllocationCounter counter(state);
  for (auto _ : state) {
    char text[INET_ADDRSTRLEN];
    benchmark::DoNotOptimize(inet_ntop(AF_INET, &address, text, sizeof text));
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_BaselineInetNtop);

}  // namespace
}  // namespace qvt
