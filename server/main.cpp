// corvane-server: the lookup service.
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <thread>

#include "gbk.h"
#include "http_server.h"
#include "key_service.h"
#include "location_data.h"
#include "region_names.h"
#include "router.h"
#include "server_options.h"

namespace {

using namespace corvane::server;

// Each connection holds a descriptor: take all the process may have.
void RaiseDescriptorLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// Waits for SIGTERM, SIGINT and SIGHUP on its own thread (they are blocked in
// every other thread): a reload takes seconds and must not hold up lookups.
void HandleSignals(const sigset_t& signals, HttpServer& server, LocationStore& store,
                   const std::string& data_dir) {
    while (true) {
        int signal = 0;
        if (sigwait(&signals, &signal) != 0) continue;
        if (signal == SIGHUP) {
            std::fprintf(stderr, "corvane-server: reloading the data from %s\n", data_dir.c_str());
            std::string error;
            auto data = LocationData::Load(data_dir, &error);
            if (data) {
                store.Replace(std::move(data));
                std::fprintf(stderr, "corvane-server: data reloaded\n");
            } else {
                std::fprintf(stderr, "corvane-server: reload failed, keeping the old data: %s\n", error.c_str());
            }
            continue;
        }
        std::fprintf(stderr, "corvane-server: stopping\n");
        server.Stop();
        return;
    }
}

}  // namespace

int main(int argc, char** argv) {
    ServerOptions options;
    std::string error;
    switch (ParseServerOptions(argc, argv, &options, &error)) {
        case ParseOutcome::kHelp:
            std::fputs(HelpText().c_str(), stdout);
            return 0;
        case ParseOutcome::kError:
            std::fprintf(stderr, "corvane-server: %s (see --help)\n", error.c_str());
            return 2;
        case ParseOutcome::kRun:
            break;
    }

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    RaiseDescriptorLimit();

    auto names = RegionNames::Load(options.names, &error);
    if (!names) {
        std::fprintf(stderr, "corvane-server: %s\n", error.c_str());
        return 1;
    }
    Utf8ToGbk("");  // builds the conversion table now rather than in the first reply
    auto data = LocationData::Load(options.data_dir, &error);
    if (!data) {
        std::fprintf(stderr, "corvane-server: %s (scripts/fetch-data.sh fetches the data)\n", error.c_str());
        return 1;
    }
    LocationStore store(std::move(data));
    auto keys = corvane::keys::KeyService::Open(options.keys, &error);
    if (!keys) {
        std::fprintf(stderr, "corvane-server: key store %s: %s\n", options.keys.database_path.c_str(), error.c_str());
        return 1;
    }

    const KeyPageFacts facts{options.keys.daily_quota, options.keys.refill_per_second};
    const Router router(*keys, store, *names, facts);
    HttpServer server(options.http, router);
    if (!server.Listen(&error)) {
        std::fprintf(stderr, "corvane-server: %s\n", error.c_str());
        return 1;
    }
    for (const BoundPort& port : server.Ports()) {
        std::printf("corvane-server: listening on http://%s:%u\n", port.address.c_str(), unsigned(port.port));
    }
    std::printf("corvane-server: ready (%u threads)\n", options.http.threads);
    std::fflush(stdout);

    std::thread signal_thread(HandleSignals, std::cref(signals), std::ref(server), std::ref(store),
                              std::cref(options.data_dir));
    server.Run();
    signal_thread.join();
    return 0;
}
