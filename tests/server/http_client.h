// A plain-socket HTTP client for the server tests: exact bytes out, exact
// bytes in, nothing normalised.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane::server::testing {

// Generous: the tests check behaviour, not speed.
inline constexpr auto kReplyTimeout = std::chrono::seconds(10);

// An open TCP connection to 127.0.0.1, closed with the object.
class Connection {
public:
    // From `source` (another loopback address gives another client).
    explicit Connection(std::uint16_t port, const char* source = "127.0.0.1");
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool connected() const { return fd_ >= 0; }
    bool Send(std::string_view bytes);
    // Whatever arrives within `timeout` (empty on timeout); std::nullopt once the peer closed.
    std::optional<std::string> Receive(std::chrono::milliseconds timeout);
    // Everything until the server closes (or the timeout passes).
    std::string ReceiveAll(std::chrono::milliseconds timeout = kReplyTimeout);

    struct Reply {
        int status = 0;
        std::string head;  // status line and headers
        std::string body;
        std::string Header(std::string_view name) const;  // "" when absent
    };
    // One complete reply (by Content-Length); status 0 when none came in time.
    Reply ReceiveReply(std::chrono::milliseconds timeout = kReplyTimeout);

private:
    int fd_ = -1;
    std::string pending_;  // bytes after the last reply read
};

using Reply = Connection::Reply;

// What the desktop tool sends: HTTP/1.0, its user agent and accept list.
std::string ToolRequest(std::string_view target);

// One request on a fresh connection, like the tool makes.
Reply Get(std::uint16_t port, std::string_view target);
// POST /key; with plain == true asks for the key alone.
Reply PostKey(std::uint16_t port, bool plain);
// A new key, or "" (with a test failure) when none was issued.
std::string IssueKey(std::uint16_t port);

// The GBK reply body as UTF-8, so tests can compare with readable text.
std::string GbkToUtf8(std::string_view gbk);

}  // namespace corvane::server::testing
