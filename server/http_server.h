// The HTTP front of the service: listeners on every port, one event loop per
// thread, the limits that keep slow or greedy clients from hurting others.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane::server {

class Router;

struct HttpServerOptions {
    std::string address = "127.0.0.1";
    std::vector<std::uint16_t> ports;  // 0 picks a free port
    unsigned threads = 1;
    std::chrono::milliseconds header_timeout{10'000};    // whole request head, from its first byte
    std::chrono::milliseconds keepalive_timeout{30'000};  // idle wait for the next request
    unsigned keepalive_requests = 1000;                   // requests per connection
    std::size_t max_connections = 10'000;
    std::size_t max_connections_per_client = 256;
};

struct BoundPort {
    std::string address;
    std::uint16_t port;
};

class HttpServer {
public:
    HttpServer(const HttpServerOptions& options, const Router& router);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds every port; false with *error set when one cannot be bound.
    bool Listen(std::string* error);
    std::vector<BoundPort> Ports() const;

    // Serves until Stop(); runs the event loops on `threads` threads.
    void Run();
    // Stops accepting, lets requests in flight finish for a moment, then
    // ends Run(). Blocks for up to two seconds; safe from any thread but the
    // event loops.
    void Stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace corvane::server
