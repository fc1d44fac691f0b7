// corvane-server's command line.
#include <gtest/gtest.h>

#include <vector>

#include "server_options.h"

namespace corvane::server {
namespace {

ParseOutcome Parse(std::vector<const char*> args, ServerOptions* options, std::string* error) {
    args.insert(args.begin(), "corvane-server");
    return ParseServerOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(ServerOptionsTest, DefaultsServeTheToolsFivePortsFromTheRepositoryRoot) {
    ServerOptions options;
    std::string error;
    ASSERT_EQ(Parse({}, &options, &error), ParseOutcome::kRun);
    EXPECT_EQ(options.http.address, "127.0.0.1");
    EXPECT_EQ(options.http.ports, (std::vector<std::uint16_t>{2100, 2200, 2300, 2400, 2500}));
    EXPECT_EQ(options.data_dir, "data");
    EXPECT_EQ(options.keys.database_path, "var/keys.sqlite");
    EXPECT_GE(options.http.threads, 1u);
}

TEST(ServerOptionsTest, EveryFlagIsReadAndDocumented) {
    const std::vector<const char*> args = {
        "--address", "0.0.0.0", "--ports=80,0", "--threads", "3", "--data", "/d", "--keys-db", "/k.sqlite",
        "--iso-codes", "/i", "--locale-dir", "/l", "--daily-quota", "5", "--burst", "2.5", "--refill", "0.5",
        "--issues-per-hour", "7", "--flush-interval-ms", "250", "--header-timeout-ms", "1500",
        "--keepalive-timeout-ms", "2000", "--keepalive-requests", "9", "--max-connections", "100",
        "--max-connections-per-client", "4"};
    ServerOptions options;
    std::string error;
    ASSERT_EQ(Parse(args, &options, &error), ParseOutcome::kRun) << error;
    EXPECT_EQ(options.http.address, "0.0.0.0");
    EXPECT_EQ(options.http.ports, (std::vector<std::uint16_t>{80, 0}));
    EXPECT_EQ(options.http.threads, 3u);
    EXPECT_EQ(options.data_dir, "/d");
    EXPECT_EQ(options.keys.database_path, "/k.sqlite");
    EXPECT_EQ(options.names.iso_codes_json_dir, "/i");
    EXPECT_EQ(options.names.locale_dir, "/l");
    EXPECT_EQ(options.keys.daily_quota, 5u);
    EXPECT_EQ(options.keys.burst, 2.5);
    EXPECT_EQ(options.keys.refill_per_second, 0.5);
    EXPECT_EQ(options.keys.issues_per_client_per_hour, 7u);
    EXPECT_EQ(options.keys.flush_interval, std::chrono::milliseconds(250));
    EXPECT_EQ(options.http.header_timeout, std::chrono::milliseconds(1500));
    EXPECT_EQ(options.http.keepalive_timeout, std::chrono::milliseconds(2000));
    EXPECT_EQ(options.http.keepalive_requests, 9u);
    EXPECT_EQ(options.http.max_connections, 100u);
    EXPECT_EQ(options.http.max_connections_per_client, 4u);

    const std::string help = HelpText();
    for (const char* arg : args) {
        const std::string flag = std::string(arg).substr(0, std::string(arg).find('='));
        if (flag.starts_with("--")) {
            EXPECT_NE(help.find(flag + " "), std::string::npos) << flag;
        }
    }
    EXPECT_EQ(Parse({"--data", "/d", "--help"}, &options, &error), ParseOutcome::kHelp);
}

TEST(ServerOptionsTest, BadCommandLinesAreRefusedWithTheReason) {
    const std::vector<std::vector<const char*>> cases = {
        {"--port", "80"},          {"--ports", "70000"}, {"--ports", "80,"},      {"--ports", "x"},
        {"--threads", "0"},        {"--daily-quota", "-1"}, {"--burst", "0"},     {"--refill", "fast"},
        {"--header-timeout-ms"},   {"--data="},          {"--threads", "2x"},
    };
    for (const auto& args : cases) {
        ServerOptions options;
        std::string error;
        EXPECT_EQ(Parse(args, &options, &error), ParseOutcome::kError) << args[0];
        EXPECT_NE(error.find(std::string(args[0]).substr(0, std::string(args[0]).find('='))), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace corvane::server
