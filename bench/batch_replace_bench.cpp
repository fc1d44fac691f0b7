// Throughput of the reply conversion on a large reply: 64 MiB of mixed ASCII
// and GBK text with a "<br>" in every line, as one query would convert it.
#include <benchmark/benchmark.h>

#include <string>

#include "batch_replace.h"

namespace {

std::string MakeReply(std::size_t bytes) {
    // One line of a lookup reply: ASCII, GBK (国家: 中国) and a line break.
    const std::string line = "IP: 203.0.113.7<br>\xb9\xfa\xbc\xd2: \xd6\xd0\xb9\xfa (CN)<BR>";
    std::string reply;
    reply.reserve(bytes + line.size());
    while (reply.size() < bytes) reply += line;
    return reply;
}

void BM_ReplyLineBreaks(benchmark::State& state) {
    const std::string reply = MakeReply(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::string out = corvane::BatchReplace(reply, {}, {"<br>", "\r\n"});
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(reply.size()));
}
// 1 MiB and 64 MiB: equal MB/s at both sizes shows the pass is linear.
BENCHMARK(BM_ReplyLineBreaks)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
