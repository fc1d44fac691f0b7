// The real corvane-server started for a test on free loopback ports, with the
// real data and a key store in a temporary folder of its own.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane::server::testing {

class ServerProcess {
public:
    // Starts the server with `extra_args` after the test defaults and waits
    // until it listens. `keys_db` reuses a store (to restart on it); empty
    // gives a fresh one. Fails the test (and returns nullptr) when it cannot.
    static std::unique_ptr<ServerProcess> Start(const std::vector<std::string>& extra_args = {},
                                                const std::string& keys_db = "");
    ~ServerProcess();  // SIGTERM, then waits

    std::uint16_t port(std::size_t index = 0) const { return ports_.at(index); }
    const std::vector<std::uint16_t>& ports() const { return ports_; }
    const std::string& keys_db() const { return keys_db_; }
    pid_t pid() const { return pid_; }

    // What the server wrote to stderr so far.
    std::string Log() const;

    // Sends a signal; Wait() reaps the process and gives its wait status.
    void Signal(int signal) const;
    int Wait();

private:
    ServerProcess() = default;
    pid_t pid_ = -1;
    std::vector<std::uint16_t> ports_;
    std::string keys_db_;
    std::string log_path_;
};

// A fresh temporary folder, removed with its contents at the end of the test program.
std::string TemporaryDirectory();

}  // namespace corvane::server::testing
