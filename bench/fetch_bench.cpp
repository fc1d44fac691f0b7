// Times the page fetch, as the tool calls it, on the given URLs: one fetch at
// a time, after a first fetch that opens the fetch client. Prints one line per
// URL: the median and the fastest fetch in milliseconds, and the body size.
// Usage: fetch_bench REPETITIONS URL...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "page_fetch.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: fetch_bench REPETITIONS URL...\n");
        return 2;
    }
    const int repetitions = std::max(1, std::atoi(argv[1]));
    for (int u = 2; u < argc; ++u) {
        const std::string url = argv[u];
        std::size_t size = corvane::PageFetch(url).size();  // warm-up
        std::vector<double> ms;
        for (int i = 0; i < repetitions; ++i) {
            const auto start = std::chrono::steady_clock::now();
            const corvane::ByteBuffer body = corvane::PageFetch(url);
            const auto end = std::chrono::steady_clock::now();  // freeing the body is the caller's
            size = body.size();
            ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%s median_ms=%.3f min_ms=%.3f bytes=%zu\n", url.c_str(), ms[ms.size() / 2],
                    ms.front(), size);
    }
    return 0;
}
