#include "http_client.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <iconv.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace corvane::server::testing {

Connection::Connection(std::uint16_t port, const char* source) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, source, &local.sin_addr);
    if (fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        close(fd_);
        fd_ = -1;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ >= 0 && connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd_);
        fd_ = -1;
    }
}

Connection::~Connection() {
    if (fd_ >= 0) close(fd_);
}

bool Connection::Send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::optional<std::string> Connection::Receive(std::chrono::milliseconds timeout) {
    pollfd poll_fd{fd_, POLLIN, 0};
    if (poll(&poll_fd, 1, static_cast<int>(timeout.count())) <= 0) return std::string();
    char chunk[16384];
    const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
    if (n <= 0) return std::nullopt;
    return std::string(chunk, static_cast<std::size_t>(n));
}

std::string Connection::ReceiveAll(std::chrono::milliseconds timeout) {
    std::string all = std::move(pending_);
    pending_.clear();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const auto chunk = Receive(std::max(left, std::chrono::milliseconds(1)));
        if (!chunk) break;
        all += *chunk;
    }
    return all;
}

std::string Connection::Reply::Header(std::string_view name) const {
    std::size_t line = head.find("\r\n");
    while (line != std::string::npos) {
        const std::size_t start = line + 2;
        const std::size_t end = head.find("\r\n", start);
        const std::string_view field = std::string_view(head).substr(start, end - start);
        const auto colon = field.find(':');
        if (colon == name.size() && strncasecmp(field.data(), name.data(), name.size()) == 0) {
            std::string_view value = field.substr(colon + 1);
            while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
            return std::string(value);
        }
        line = end;
    }
    return {};
}

Connection::Reply Connection::ReceiveReply(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const auto head_end = pending_.find("\r\n\r\n");
        if (head_end != std::string::npos) {
            Reply reply;
            reply.head = pending_.substr(0, head_end);
            const std::size_t length = std::stoul("0" + reply.Header("Content-Length"));
            if (pending_.size() >= head_end + 4 + length) {
                reply.body = pending_.substr(head_end + 4, length);
                pending_.erase(0, head_end + 4 + length);
                if (reply.head.size() > 12) reply.status = std::stoi(reply.head.substr(9, 3));
                return reply;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return {};
        const auto chunk = Receive(left);
        if (!chunk) return {};
        pending_ += *chunk;
    }
}

std::string ToolRequest(std::string_view target) {
    return "GET " + std::string(target) +
           " HTTP/1.0\r\nAccept: */* \r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"
           "Host: 127.0.0.1\r\nAccept: */*\r\n\r\n";
}

Reply Get(std::uint16_t port, std::string_view target) {
    Connection connection(port);
    EXPECT_TRUE(connection.connected());
    connection.Send(ToolRequest(target));
    return connection.ReceiveReply();
}

Reply PostKey(std::uint16_t port, bool plain) {
    Connection connection(port);
    EXPECT_TRUE(connection.connected());
    connection.Send(std::string("POST /key HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 0\r\nAccept: ") +
                    (plain ? "text/plain" : "text/html,application/xhtml+xml,*/*;q=0.8") +
                    "\r\nConnection: close\r\n\r\n");
    return connection.ReceiveReply();
}

std::string IssueKey(std::uint16_t port) {
    const Reply reply = PostKey(port, true);
    EXPECT_EQ(reply.status, 200) << reply.body;
    return reply.status == 200 ? reply.body : std::string();
}

std::string GbkToUtf8(std::string_view gbk) {
    const iconv_t converter = iconv_open("UTF-8", "GBK");
    std::string out(gbk.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(gbk.data());
    std::size_t in_left = gbk.size();
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    const std::size_t result = iconv(converter, &in, &in_left, &out_ptr, &out_left);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1)) return "<not GBK>";
    out.resize(out.size() - out_left);
    return out;
}

}  // namespace corvane::server::testing
