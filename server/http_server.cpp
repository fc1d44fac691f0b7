#include "http_server.h"

#include <boost/asio.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <unordered_map>

#include "ip_address.h"
#include "reply.h"
#include "router.h"

namespace corvane::server {
namespace {

namespace asio = boost::asio;
namespace http = boost::beast::http;
using tcp = asio::ip::tcp;
using error_code = boost::system::error_code;

// Limits in the spirit of nginx's defaults.
constexpr std::size_t kMaxRequestLine = 8 * 1024;   // longer: 414
constexpr std::size_t kMaxHeadBytes = 16 * 1024;    // request line and header fields: 431
constexpr std::size_t kMaxHeaderFields = 100;       // more: 431
constexpr std::size_t kMaxBodyBytes = 4 * 1024;     // more: 413
constexpr int kListenBacklog = 1024;
constexpr auto kWriteTimeout = std::chrono::seconds(10);
// After a reply that closes the connection, what the client still sends is
// read and dropped for this long: closing with unread data would reset the
// connection and could destroy the reply before the client reads it.
constexpr auto kLingerTimeout = std::chrono::seconds(2);
constexpr auto kAcceptRetryDelay = std::chrono::milliseconds(100);
constexpr std::size_t kReadChunk = 4 * 1024;
constexpr auto kStopGrace = std::chrono::seconds(2);
constexpr auto kStopPoll = std::chrono::milliseconds(10);

// Counts open connections, overall and per client address.
class ConnectionLimiter {
public:
    ConnectionLimiter(std::size_t total, std::size_t per_client) : total_limit_(total), client_limit_(per_client) {}

    bool Acquire(const std::string& client) {
        std::lock_guard lock(mutex_);
        if (total_ >= total_limit_) return false;
        std::size_t& count = per_client_[client];
        if (count >= client_limit_) {
            if (count == 0) per_client_.erase(client);
            return false;
        }
        ++count;
        ++total_;
        return true;
    }

    std::size_t total() {
        std::lock_guard lock(mutex_);
        return total_;
    }

    void Release(const std::string& client) {
        std::lock_guard lock(mutex_);
        const auto found = per_client_.find(client);
        if (found == per_client_.end()) return;
        if (--found->second == 0) per_client_.erase(found);
        --total_;
    }

private:
    std::mutex mutex_;
    const std::size_t total_limit_;
    const std::size_t client_limit_;
    std::size_t total_ = 0;
    std::unordered_map<std::string, std::size_t> per_client_;
};

// One connection's slot in the limiter, given back when the connection ends.
class ConnectionTicket {
public:
    ConnectionTicket(ConnectionLimiter& limiter, std::string client)
        : limiter_(limiter), client_(std::move(client)) {}
    ~ConnectionTicket() { limiter_.Release(client_); }
    ConnectionTicket(const ConnectionTicket&) = delete;
    ConnectionTicket& operator=(const ConnectionTicket&) = delete;

private:
    ConnectionLimiter& limiter_;
    std::string client_;
};

struct SharedState {
    const HttpServerOptions& options;
    const Router& router;
    ConnectionLimiter limiter;
    // Key issuance waits for a durable database commit: it runs here, never on
    // an event loop, so that lookups on the same loop do not wait for the disk.
    asio::thread_pool& blocking_pool;
    // Set when the server stops: replies then close their connections.
    std::atomic<bool> stopping{false};
};

class Session : public std::enable_shared_from_this<Session> {
public:
    Session(tcp::socket socket, SharedState& shared, std::optional<IpAddress> client, std::string client_key)
        : socket_(std::move(socket)),
          timer_(socket_.get_executor()),
          shared_(shared),
          client_(std::move(client)),
          ticket_(shared.limiter, std::move(client_key)),
          buffer_(kMaxHeadBytes + kReadChunk) {}

    void Start() {
        error_code ignored;
        socket_.set_option(tcp::no_delay(true), ignored);
        ReadHead();
    }

private:
    // One timer wait stays outstanding and is re-armed only when it fires
    // before the current deadline or when the deadline moves earlier: moving
    // the deadline for each request costs no system call.
    void SetDeadline(std::chrono::steady_clock::duration duration) {
        timed_out_ = false;
        deadline_ = std::chrono::steady_clock::now() + duration;
        if (!timer_armed_ || deadline_ < armed_until_) ArmTimer();
    }

    void ClearDeadline() { deadline_ = std::chrono::steady_clock::time_point::max(); }

    void ArmTimer() {
        timer_armed_ = true;
        armed_until_ = deadline_;
        const unsigned generation = ++timer_generation_;
        timer_.expires_at(deadline_);
        timer_.async_wait([self = shared_from_this(), generation](error_code ec) {
            if (generation != self->timer_generation_) return;  // re-armed meanwhile
            self->timer_armed_ = false;
            if (ec || self->closed_) return;
            if (std::chrono::steady_clock::now() < self->deadline_) return self->ArmTimer();
            self->timed_out_ = true;
            error_code ignored;
            self->socket_.cancel(ignored);
        });
    }

    // Before the next request of a kept-alive connection: wait idle for its
    // first byte, then give the whole head its own deadline.
    void WaitForNextRequest() {
        if (buffer_.size() > 0) return ReadHead();
        if (shared_.stopping) {
            // Stopping: only a request the client has already begun is answered.
            error_code ec;
            if (socket_.available(ec) == 0 || ec) return Close();
            return ReadHead();
        }
        SetDeadline(shared_.options.keepalive_timeout);
        socket_.async_read_some(buffer_.prepare(kReadChunk),
                                [self = shared_from_this()](error_code ec, std::size_t n) {
                                    if (ec) return self->Close();  // idle timeout or peer gone
                                    self->buffer_.commit(n);
                                    self->ReadHead();
                                });
    }

    void ReadHead() {
        parser_.emplace();
        parser_->header_limit(kMaxHeadBytes);
        parser_->body_limit(kMaxBodyBytes);
        SetDeadline(shared_.options.header_timeout);
        http::async_read_header(socket_, buffer_, *parser_,
                                [self = shared_from_this()](error_code ec, std::size_t) { self->OnHead(ec); });
    }

    void OnHead(error_code ec) {
        if (ec) return OnReadError(ec);
        const auto& request = parser_->get();
        if (request.target().size() > kMaxRequestLine) return SendAndClose(UriTooLongReply());
        if (static_cast<std::size_t>(std::distance(request.begin(), request.end())) > kMaxHeaderFields) {
            return SendAndClose(HeadersTooLargeReply());
        }
        if (parser_->is_done()) return Dispatch();
        http::async_read(socket_, buffer_, *parser_, [self = shared_from_this()](error_code ec, std::size_t) {
            if (ec) return self->OnReadError(ec);
            self->Dispatch();
        });
    }

    void OnReadError(error_code ec) {
        if (timed_out_) return SendAndClose(TimeoutReply());
        if (ec == http::error::end_of_stream || ec == asio::error::eof ||
            ec == asio::error::connection_reset || ec == asio::error::operation_aborted) {
            return Close();
        }
        if (ec == http::error::header_limit || ec == http::error::buffer_overflow) {
            return SendAndClose(RequestLineTooLong() ? UriTooLongReply() : HeadersTooLargeReply());
        }
        if (ec == http::error::body_limit) return SendAndClose(BodyTooLargeReply());
        SendAndClose(BadRequestReply());
    }

    // Whether the head that overflowed its limit did so in its first line.
    bool RequestLineTooLong() const {
        const auto data = buffer_.data();
        const std::string_view head(static_cast<const char*>(data.data()), data.size());
        const auto line_end = head.find("\r\n");
        return line_end == std::string_view::npos ? head.size() > kMaxRequestLine : line_end > kMaxRequestLine;
    }

    void Dispatch() {
        ClearDeadline();
        const auto& message = parser_->get();
        keep_alive_ = message.keep_alive() && ++served_ < shared_.options.keepalive_requests && !shared_.stopping;
        // A pipelined request behind one that closes the connection.
        unread_ = buffer_.size() > 0;
        if (message.method() == http::verb::post) {
            // Off the event loop (see SharedState::blocking_pool).
            asio::post(shared_.blocking_pool, [self = shared_from_this()] {
                Reply reply = self->Route();
                asio::post(self->socket_.get_executor(), [self, reply = std::move(reply)] { self->Send(reply); });
            });
            return;
        }
        Send(Route());
    }

    Reply Route() const {
        const auto& message = parser_->get();
        Request request;
        request.method = message.method_string();
        request.target = message.target();
        request.accept = message[http::field::accept];
        request.client = client_;
        return shared_.router.Handle(request);
    }

    void Send(const Reply& reply) {
        out_ = SerializeReply(reply, keep_alive_);
        SetDeadline(kWriteTimeout);
        asio::async_write(socket_, asio::buffer(out_), [self = shared_from_this()](error_code ec, std::size_t) {
            if (ec) return self->Close();
            if (!self->keep_alive_) return self->unread_ ? self->Linger() : self->Close();
            self->WaitForNextRequest();
        });
    }

    // For a request that was not read to its end: what the client still
    // sends is drained before the close (see kLingerTimeout).
    void SendAndClose(const Reply& reply) {
        keep_alive_ = false;
        unread_ = true;
        buffer_.consume(buffer_.size());
        Send(reply);
    }

    void Linger() {
        error_code ignored;
        socket_.shutdown(tcp::socket::shutdown_send, ignored);
        SetDeadline(kLingerTimeout);
        DrainUntilClosed();
    }

    void DrainUntilClosed() {
        socket_.async_read_some(asio::buffer(drain_), [self = shared_from_this()](error_code ec, std::size_t) {
            if (ec) return self->Close();
            self->DrainUntilClosed();
        });
    }

    void Close() {
        closed_ = true;
        timer_.cancel();
        error_code ignored;
        socket_.shutdown(tcp::socket::shutdown_both, ignored);
        socket_.close(ignored);
    }

    tcp::socket socket_;
    asio::steady_timer timer_;
    SharedState& shared_;
    const std::optional<IpAddress> client_;
    ConnectionTicket ticket_;
    boost::beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    std::string out_;
    std::array<char, kReadChunk> drain_{};
    unsigned served_ = 0;
    std::chrono::steady_clock::time_point deadline_ = std::chrono::steady_clock::time_point::max();
    std::chrono::steady_clock::time_point armed_until_;
    unsigned timer_generation_ = 0;
    bool timer_armed_ = false;
    bool keep_alive_ = false;
    bool unread_ = false;
    bool timed_out_ = false;
    bool closed_ = false;
};

}  // namespace

struct HttpServer::Impl {
    Impl(const HttpServerOptions& options, const Router& router)
        : options(options),
          blocking_pool(1),
          shared{this->options, router, ConnectionLimiter(options.max_connections, options.max_connections_per_client),
                 blocking_pool} {
        const unsigned threads = std::max(1u, options.threads);
        for (unsigned i = 0; i < threads; ++i) contexts.push_back(std::make_unique<asio::io_context>(1));
    }

    // Each loop accepts on its own descriptor of every listening socket and
    // serves what it accepts, so a connection never changes threads.
    void Accept(tcp::acceptor& acceptor) {
        acceptor.async_accept([this, &acceptor](error_code ec, tcp::socket socket) {
            if (shared.stopping) return;
            if (ec) {
                // Out of descriptors and the like: try again shortly rather than spin.
                std::fprintf(stderr, "corvane-server: accept failed: %s\n", ec.message().c_str());
                auto timer = std::make_shared<asio::steady_timer>(acceptor.get_executor(), kAcceptRetryDelay);
                timer->async_wait([this, &acceptor, timer](error_code) {
                    if (!shared.stopping) Accept(acceptor);
                });
                return;
            }
            OnAccepted(std::move(socket));
            Accept(acceptor);
        });
    }

    void OnAccepted(tcp::socket socket) {
        error_code ec;
        const tcp::endpoint peer = socket.remote_endpoint(ec);
        if (ec) return;
        const auto client = FromSockaddr(peer.data());
        std::string client_key = client ? client->ToString() : std::string();
        if (!shared.limiter.Acquire(client_key)) {
            // Too many connections: a short answer, sent without waiting.
            const std::string reply = SerializeReply(OverloadedReply(), false);
            socket.non_blocking(true, ec);
            socket.write_some(asio::buffer(reply), ec);
            socket.shutdown(tcp::socket::shutdown_both, ec);
            return;
        }
        std::make_shared<Session>(std::move(socket), shared, client, std::move(client_key))->Start();
    }

    HttpServerOptions options;
    asio::thread_pool blocking_pool;
    SharedState shared;
    std::vector<std::unique_ptr<asio::io_context>> contexts;
    std::vector<std::unique_ptr<tcp::acceptor>> acceptors;       // one per port, on the first loop
    std::vector<std::unique_ptr<tcp::acceptor>> loop_acceptors;  // their copies for the other loops
};

HttpServer::HttpServer(const HttpServerOptions& options, const Router& router)
    : impl_(std::make_unique<Impl>(options, router)) {}

HttpServer::~HttpServer() {
    Stop();
    impl_->blocking_pool.join();
}

bool HttpServer::Listen(std::string* error) {
    error_code ec;
    const auto address = asio::ip::make_address(impl_->options.address, ec);
    if (ec) {
        *error = "bad listen address " + impl_->options.address + ": " + ec.message();
        return false;
    }
    for (const std::uint16_t port : impl_->options.ports) {
        auto acceptor = std::make_unique<tcp::acceptor>(*impl_->contexts.front());
        const tcp::endpoint endpoint(address, port);
        acceptor->open(endpoint.protocol(), ec);
        if (!ec) acceptor->set_option(tcp::acceptor::reuse_address(true), ec);
        if (!ec) acceptor->bind(endpoint, ec);
        if (!ec) acceptor->listen(kListenBacklog, ec);
        if (ec) {
            *error = "cannot listen on " + impl_->options.address + ":" + std::to_string(port) + ": " + ec.message();
            return false;
        }
        // The other loops' descriptors of the same socket.
        for (std::size_t i = 1; i < impl_->contexts.size(); ++i) {
            const int fd = ::dup(acceptor->native_handle());
            auto copy = std::make_unique<tcp::acceptor>(*impl_->contexts[i]);
            if (fd < 0) ec = error_code(errno, boost::system::system_category());
            if (!ec) copy->assign(endpoint.protocol(), fd, ec);
            if (ec) {
                if (fd >= 0) ::close(fd);
                *error = "cannot share the listening socket: " + ec.message();
                return false;
            }
            impl_->loop_acceptors.push_back(std::move(copy));
        }
        impl_->acceptors.push_back(std::move(acceptor));
    }
    return true;
}

std::vector<BoundPort> HttpServer::Ports() const {
    std::vector<BoundPort> ports;
    for (const auto& acceptor : impl_->acceptors) {
        error_code ec;
        const auto endpoint = acceptor->local_endpoint(ec);
        if (!ec) ports.push_back({endpoint.address().to_string(), endpoint.port()});
    }
    return ports;
}

void HttpServer::Run() {
    std::vector<asio::executor_work_guard<asio::io_context::executor_type>> guards;
    for (auto& context : impl_->contexts) guards.push_back(asio::make_work_guard(*context));
    for (auto* list : {&impl_->acceptors, &impl_->loop_acceptors}) {
        for (auto& acceptor : *list) {
            asio::post(acceptor->get_executor(), [this, a = acceptor.get()] { impl_->Accept(*a); });
        }
    }
    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < impl_->contexts.size(); ++i) {
        threads.emplace_back([context = impl_->contexts[i].get()] { context->run(); });
    }
    impl_->contexts.front()->run();
    for (auto& thread : threads) thread.join();
}

void HttpServer::Stop() {
    if (impl_->shared.stopping.exchange(true)) return;
    // No new connections; requests in flight are answered (and their
    // connections closed) for up to kStopGrace, then the loops end and what is
    // still open, such as idle kept-alive connections, is closed.
    for (auto* list : {&impl_->acceptors, &impl_->loop_acceptors}) {
        for (auto& acceptor : *list) {
            asio::post(acceptor->get_executor(), [a = acceptor.get()] {
                error_code ignored;
                a->close(ignored);
            });
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + kStopGrace;
    while (impl_->shared.limiter.total() > 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kStopPoll);
    }
    for (auto& context : impl_->contexts) context->stop();
}

}  // namespace corvane::server
