// The page fetch over WinInet.
#include <windows.h>
#include <wininet.h>

#include <cstring>
#include <memory>
#include <new>
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

struct InternetHandleCloser {
    void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
// HINTERNET is a void*: the owning pointer closes it exactly once.
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;

// The root handle: opened by the first fetch that gets as far as connecting,
// kept for every later fetch, closed when the process ends.
class FetchClient {
public:
    HINTERNET Root() {
        if (!root_) {
            root_.reset(InternetOpenA(net::kUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
            if (root_) ++opened_times_;
        }
        return root_.get();
    }
    net::FetchClientState State() const { return {root_ != nullptr, opened_times_}; }

private:
    InternetHandle root_;
    int opened_times_ = 0;
};

FetchClient& Client() {
    static FetchClient client;
    return client;
}

std::optional<std::string> Canonicalize(const std::string& url) {
    std::string out(net::kCanonicalUrlArea, '\0');
    DWORD size = static_cast<DWORD>(out.size());
    if (!InternetCanonicalizeUrlA(url.c_str(), out.data(), &size, ICU_NO_ENCODE)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
        // `size` now holds the area needed, terminator included.
        out.assign(size, '\0');
        if (!InternetCanonicalizeUrlA(url.c_str(), out.data(), &size, ICU_NO_ENCODE)) return std::nullopt;
    }
    // The text ends at its terminator. The reported length is not used: an
    // ANSI layer that works in wide characters underneath (Wine's) reports
    // characters, not bytes, for a URL with double-byte characters.
    out.resize(std::strlen(out.c_str()));
    return out;
}

std::optional<net::UrlParts> Crack(const std::string& url) {
    char host[net::kHostNameArea];
    char path[net::kObjectPathArea];
    char user[net::kUserNameArea];
    char password[net::kPasswordArea];
    URL_COMPONENTSA components{};
    components.dwStructSize = sizeof components;
    components.lpszHostName = host;
    components.dwHostNameLength = sizeof host;
    components.lpszUrlPath = path;
    components.dwUrlPathLength = sizeof path;
    components.lpszUserName = user;
    components.dwUserNameLength = sizeof user;
    components.lpszPassword = password;
    components.dwPasswordLength = sizeof password;
    // No area for the scheme's name nor for the extra information, so the
    // path keeps its query.
    if (!InternetCrackUrlA(url.c_str(), 0, 0, &components)) return std::nullopt;

    net::UrlParts parts;
    parts.scheme = components.nScheme == INTERNET_SCHEME_HTTP    ? net::Scheme::kHttp
                   : components.nScheme == INTERNET_SCHEME_HTTPS ? net::Scheme::kHttps
                                                                 : net::Scheme::kOther;
    parts.host.assign(host, components.dwHostNameLength);
    parts.port = components.nPort;
    parts.user.assign(user, components.dwUserNameLength);
    parts.password.assign(password, components.dwPasswordLength);
    parts.object_path.assign(path, components.dwUrlPathLength);
    return parts;
}

// The system's preconfigured proxy, with no proxy credentials of our own.
// Failures are ignored: without a system proxy the request goes direct.
void UseSystemProxy(HINTERNET root, HINTERNET connection) {
    INTERNET_PROXY_INFO proxy{};
    proxy.dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG;
    InternetSetOptionA(root, INTERNET_OPTION_PROXY, &proxy, sizeof proxy);
    char empty[] = "";
    InternetSetOptionA(connection, INTERNET_OPTION_PROXY_USERNAME, empty, sizeof empty);
    InternetSetOptionA(connection, INTERNET_OPTION_PROXY_PASSWORD, empty, sizeof empty);
}

// The Content-Length text; nothing when there is none or it is too long for
// the area.
std::optional<std::string> ContentLength(HINTERNET request) {
    char text[net::kLengthAreaSize];
    DWORD size = sizeof text;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return std::nullopt;
    return std::string(text, size);
}

void ReadBody(HINTERNET request, ByteBuffer& body) {
    const std::optional<std::string> length = ContentLength(request);
    const std::uint32_t chunk_size = net::ChunkSizeFor(length);
    net::ReserveAnnounced(body, net::AnnouncedLength(length));
    const std::unique_ptr<char[]> buffer(new (std::nothrow) char[chunk_size]);
    if (!buffer) return;
    for (;;) {
        DWORD got = 0;
        if (!InternetReadFile(request, buffer.get(), chunk_size, &got) || got == 0) return;
        if (!net::AppendChunk(body, buffer.get(), got)) return;
    }
}

}  // namespace

namespace net {
FetchClientState GetFetchClientState() { return Client().State(); }

ByteBuffer FetchWithClient(std::string_view url) {
    ByteBuffer body;
    const std::optional<std::string> canonical = Canonicalize(std::string(net::CutFragment(url)));
    if (!canonical) return body;
    const std::optional<net::UrlParts> parts = Crack(*canonical);
    if (!parts) return body;
    const DWORD flags = kRequestFlags | (parts->scheme == net::Scheme::kHttps ? INTERNET_FLAG_SECURE : 0);

    const HINTERNET root = Client().Root();
    if (!root) return body;
    // Declared before the request so that it is closed after it.
    const InternetHandle connection(InternetConnectA(root, parts->host.c_str(), parts->port,
                                                     parts->user.c_str(), parts->password.c_str(),
                                                     INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection || parts->scheme == net::Scheme::kOther) return body;
    UseSystemProxy(root, connection.get());

    const char* accept_types[] = {net::kAcceptTypeEntry, nullptr};
    const InternetHandle request(HttpOpenRequestA(connection.get(), net::kVerb, parts->object_path.c_str(),
                                                  net::kHttpVersion, nullptr, accept_types, flags, 0));
    if (!request) return body;
    if (!HttpSendRequestA(request.get(), net::kExtraHeaders, net::kExtraHeadersLength, nullptr, 0)) {
        return body;
    }
    ReadBody(request.get(), body);
    return body;
}
}  // namespace net

}  // namespace corvane
