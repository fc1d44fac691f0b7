// The page fetch over libcurl: the same request and the same reading as on
// Windows, with the system's proxy settings taken from the usual environment
// variables (libcurl's own default).
#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "body_collector.h"
#include "chunk_size.h"
#include "fetch_client.h"
#include "fetch_constants.h"
#include "fetch_url.h"
#include "page_fetch.h"

namespace corvane {
namespace {

using net::Scheme;

// Redirects are followed as a browser would, but not forever.
constexpr long kMaxRedirects = 20;
constexpr char kAllowedProtocols[] = "http,https";
// The body is read until the server closes (see Configure), so the request
// says so even to a server that would keep an HTTP/1.0 connection open.
constexpr char kCloseHeader[] = "Connection: close";

struct CurlCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using CurlHandle = std::unique_ptr<CURL, CurlCleanup>;

struct CurlListFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlList = std::unique_ptr<curl_slist, CurlListFree>;

// libcurl's process-wide state stands for the fetch client: initialised by
// the first fetch that needs it, released when the process ends.
class FetchClient {
public:
    ~FetchClient() {
        if (open_) curl_global_cleanup();
    }
    bool Open() {
        if (!open_ && curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {
            open_ = true;
            ++opened_times_;
        }
        return open_;
    }
    net::FetchClientState State() const { return {open_, opened_times_}; }

private:
    bool open_ = false;
    int opened_times_ = 0;
};

FetchClient& Client() {
    static FetchClient client;
    return client;
}

// The object path as the wire can carry it: a space or a control byte cannot
// stand in a request line, so only those are escaped; everything else
// (escapes already written, "&", bytes above 127) goes out as it is.
std::string WirePath(const std::string& object_path) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    if (object_path.empty() || object_path.front() != '/') out.push_back('/');
    for (const char c : object_path) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F) {
            out.push_back('%');
            out.push_back(kHex[u >> 4]);
            out.push_back(kHex[u & 0xF]);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string RequestUrl(const net::UrlParts& parts) {
    return std::string(parts.scheme == Scheme::kHttps ? "https://" : "http://") + parts.host + ":" +
           std::to_string(net::EffectivePort(parts)) + WirePath(parts.object_path);
}

struct Transfer {
    CURL* easy = nullptr;
    ByteBuffer* body = nullptr;
    std::uint32_t chunk_size = 0;  // decided when the final response's body starts
};

std::optional<std::string_view> ContentLength(CURL* easy) {
    curl_header* header = nullptr;
    if (curl_easy_header(easy, "Content-Length", 0, CURLH_HEADER, -1, &header) != CURLHE_OK) {
        return std::nullopt;
    }
    return std::string_view(header->value);
}

// libcurl hands over what arrived (at most its receive buffer, the largest
// chunk); the body takes it a chunk at a time, as a read loop would, so that
// running out of memory keeps every whole chunk that fitted.
size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const size_t total = size * count;
    if (transfer.chunk_size == 0) {
        const std::optional<std::string_view> length = ContentLength(transfer.easy);
        transfer.chunk_size = net::ChunkSizeFor(length);
        net::ReserveAnnounced(*transfer.body, net::AnnouncedLength(length));
    }
    for (size_t done = 0; done < total;) {
        const size_t piece = std::min<size_t>(transfer.chunk_size, total - done);
        if (!net::AppendChunk(*transfer.body, data + done, piece)) return CURL_WRITEFUNC_ERROR;
        done += piece;
    }
    return total;
}

bool Configure(CURL* easy, const net::UrlParts& parts, const std::string& url, curl_slist* headers,
               Transfer& transfer) {
    bool ok = true;
    auto set = [&](CURLoption option, auto value) { ok = ok && curl_easy_setopt(easy, option, value) == CURLE_OK; };
    set(CURLOPT_URL, url.c_str());
    set(CURLOPT_PATH_AS_IS, 1L);  // the path is canonical already; keep it
    set(CURLOPT_PROTOCOLS_STR, kAllowedProtocols);
    set(CURLOPT_REDIR_PROTOCOLS_STR, kAllowedProtocols);
    set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    set(CURLOPT_USERAGENT, net::kUserAgent);
    set(CURLOPT_HTTPHEADER, headers);
    set(CURLOPT_FOLLOWLOCATION, 1L);
    set(CURLOPT_MAXREDIRS, kMaxRedirects);
    // The Content-Length only sizes the reads: the body is whatever arrives
    // before the server closes, even when the header is malformed or wrong.
    set(CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    set(CURLOPT_BUFFERSIZE, static_cast<long>(net::kLargestChunkSize));
    set(CURLOPT_NOSIGNAL, 1L);
    if (!parts.user.empty() || !parts.password.empty()) {
        // Given as the connection's credentials, sent when the server asks.
        set(CURLOPT_USERNAME, parts.user.c_str());
        set(CURLOPT_PASSWORD, parts.password.c_str());
        set(CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_ANY));
    }
    set(CURLOPT_WRITEFUNCTION, OnBody);
    set(CURLOPT_WRITEDATA, &transfer);
    return ok;
}

}  // namespace

namespace net {
FetchClientState GetFetchClientState() { return Client().State(); }

ByteBuffer FetchWithClient(std::string_view url) {
    ByteBuffer body;
    const std::optional<std::string> canonical = net::CanonicalizeUrl(net::CutFragment(url));
    if (!canonical) return body;
    const std::optional<net::UrlParts> parts = net::CrackUrl(*canonical);
    if (!parts) return body;
    if (!Client().Open()) return body;
    if (parts->scheme == Scheme::kOther) return body;

    const CurlHandle easy(curl_easy_init());
    CurlList headers(curl_slist_append(nullptr, net::kAcceptHeader));
    curl_slist* const more = headers ? curl_slist_append(headers.get(), kCloseHeader) : nullptr;
    if (!easy || !more) return body;
    const std::string request_url = RequestUrl(*parts);
    Transfer transfer{easy.get(), &body};
    if (!Configure(easy.get(), *parts, request_url, headers.get(), transfer)) return body;
    // The outcome is deliberately not looked at: whatever arrived is the result.
    curl_easy_perform(easy.get());
    return body;
}
}  // namespace net

}  // namespace corvane
