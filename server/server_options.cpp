#include "server_options.h"

#include <charconv>
#include <functional>
#include <limits>
#include <map>
#include <thread>

namespace corvane::server {
namespace {

constexpr std::uint16_t kDefaultPorts[] = {2100, 2200, 2300, 2400, 2500};
constexpr const char* kDefaultKeysDatabase = "var/keys.sqlite";

template <typename Integer>
bool ParseInteger(std::string_view text, Integer min, Integer max, Integer* value) {
    Integer parsed{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || parsed < min || parsed > max) {
        return false;
    }
    *value = parsed;
    return true;
}

bool ParseDouble(std::string_view text, double min, double* value) {
    try {
        std::size_t used = 0;
        const double parsed = std::stod(std::string(text), &used);
        if (used != text.size() || !(parsed >= min)) return false;
        *value = parsed;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool ParsePorts(std::string_view text, std::vector<std::uint16_t>* ports) {
    ports->clear();
    while (true) {
        const auto comma = text.find(',');
        std::uint16_t port = 0;
        if (!ParseInteger<std::uint16_t>(text.substr(0, comma), 0, 65535, &port)) return false;
        ports->push_back(port);
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

using Setter = std::function<bool(std::string_view, ServerOptions*)>;

const std::map<std::string, Setter, std::less<>>& Flags() {
    static const std::map<std::string, Setter, std::less<>> flags = {
        {"--address", [](std::string_view v, ServerOptions* o) { o->http.address = v; return !v.empty(); }},
        {"--ports", [](std::string_view v, ServerOptions* o) { return ParsePorts(v, &o->http.ports); }},
        {"--threads", [](std::string_view v, ServerOptions* o) { return ParseInteger(v, 1u, 256u, &o->http.threads); }},
        {"--data", [](std::string_view v, ServerOptions* o) { o->data_dir = v; return !v.empty(); }},
        {"--keys-db", [](std::string_view v, ServerOptions* o) { o->keys.database_path = v; return !v.empty(); }},
        {"--iso-codes", [](std::string_view v, ServerOptions* o) { o->names.iso_codes_json_dir = v; return !v.empty(); }},
        {"--locale-dir", [](std::string_view v, ServerOptions* o) { o->names.locale_dir = v; return !v.empty(); }},
        {"--daily-quota", [](std::string_view v, ServerOptions* o) {
             return ParseInteger<std::uint32_t>(v, 1, std::numeric_limits<std::uint32_t>::max(), &o->keys.daily_quota); }},
        {"--burst", [](std::string_view v, ServerOptions* o) { return ParseDouble(v, 1, &o->keys.burst); }},
        {"--refill", [](std::string_view v, ServerOptions* o) { return ParseDouble(v, 0.001, &o->keys.refill_per_second); }},
        {"--issues-per-hour", [](std::string_view v, ServerOptions* o) {
             return ParseInteger<std::uint32_t>(v, 1, 1'000'000, &o->keys.issues_per_client_per_hour); }},
        {"--flush-interval-ms", [](std::string_view v, ServerOptions* o) {
             long ms = 0;
             if (!ParseInteger<long>(v, 10, 3'600'000, &ms)) return false;
             o->keys.flush_interval = std::chrono::milliseconds(ms);
             return true; }},
        {"--header-timeout-ms", [](std::string_view v, ServerOptions* o) {
             long ms = 0;
             if (!ParseInteger<long>(v, 10, 3'600'000, &ms)) return false;
             o->http.header_timeout = std::chrono::milliseconds(ms);
             return true; }},
        {"--keepalive-timeout-ms", [](std::string_view v, ServerOptions* o) {
             long ms = 0;
             if (!ParseInteger<long>(v, 10, 3'600'000, &ms)) return false;
             o->http.keepalive_timeout = std::chrono::milliseconds(ms);
             return true; }},
        {"--keepalive-requests", [](std::string_view v, ServerOptions* o) {
             return ParseInteger(v, 1u, 1'000'000u, &o->http.keepalive_requests); }},
        {"--max-connections", [](std::string_view v, ServerOptions* o) {
             return ParseInteger<std::size_t>(v, 1, 1'000'000, &o->http.max_connections); }},
        {"--max-connections-per-client", [](std::string_view v, ServerOptions* o) {
             return ParseInteger<std::size_t>(v, 1, 1'000'000, &o->http.max_connections_per_client); }},
    };
    return flags;
}

}  // namespace

ParseOutcome ParseServerOptions(int argc, const char* const* argv, ServerOptions* options, std::string* error) {
    options->http.ports.assign(std::begin(kDefaultPorts), std::end(kDefaultPorts));
    options->http.threads = std::max(1u, std::thread::hardware_concurrency());
    options->keys.database_path = kDefaultKeysDatabase;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") return ParseOutcome::kHelp;
        std::string_view value;
        bool has_value = false;
        if (const auto equals = arg.find('='); equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
            has_value = true;
        }
        const auto flag = Flags().find(arg);
        if (flag == Flags().end()) {
            *error = "unknown option " + std::string(arg);
            return ParseOutcome::kError;
        }
        if (!has_value) {
            if (i + 1 >= argc) {
                *error = std::string(arg) + " needs a value";
                return ParseOutcome::kError;
            }
            value = argv[++i];
        }
        if (!flag->second(value, options)) {
            *error = "bad value for " + std::string(arg) + ": " + std::string(value);
            return ParseOutcome::kError;
        }
    }
    return ParseOutcome::kRun;
}

std::string HelpText() {
    return R"(Usage: corvane-server [OPTION]...
The Corvane lookup service: where an IP address is located, over HTTP.

  GET  /getip?ip=ADDR[,ADDR...]&key=KEY   location of each address (GBK text, "<br>" between lines);
                                         an empty ip answers for the caller's own address
  GET  /key                              the key page (HTML)
  POST /key                              issues a key (with "Accept: text/plain": the key alone)

Listening:
  --address ADDR                  address to listen on (default 127.0.0.1; 0.0.0.0 or :: for all)
  --ports P1,P2,...               ports to listen on (default 2100,2200,2300,2400,2500; 0 picks a free one)
  --threads N                     event loops, one thread each (default: one per core)

Data:
  --data DIR                      location data from scripts/fetch-data.sh (default data);
                                  send SIGHUP to load new files without a restart
  --iso-codes DIR                 iso-codes JSON files (default /usr/share/iso-codes/json)
  --locale-dir DIR                translations, DIR/zh_CN/LC_MESSAGES/iso_3166-*.mo (default /usr/share/locale)

Access keys:
  --keys-db PATH                  SQLite key store (default var/keys.sqlite; its folder is created)
  --daily-quota N                 lookups per key per UTC day (default 1000)
  --burst N                       lookups a key may make at once (default 20)
  --refill N                      lookups per second a key regains after a burst (default 10)
  --issues-per-hour N             keys one client address may obtain per hour (default 10)
  --flush-interval-ms N           how often counted usage is written to the store (default 1000)

Limits:
  --header-timeout-ms N           time allowed to send a request head (default 10000)
  --keepalive-timeout-ms N        idle time before a kept-alive connection is closed (default 30000)
  --keepalive-requests N          requests per kept-alive connection (default 1000)
  --max-connections N             open connections in all (default 10000)
  --max-connections-per-client N  open connections per client address (default 256)

  -h, --help                      show this help

Signals: SIGTERM and SIGINT stop the server cleanly; SIGHUP reloads the data.
Fixed limits: request line 8 KiB (414), request head 16 KiB or 100 fields (431),
request body 4 KiB (413), methods GET and POST (405), listen backlog 1024.
)";
}

}  // namespace corvane::server
