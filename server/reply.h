// A reply of the service and its bytes on the wire.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane::server {

struct Reply {
    int status = 200;
    std::string content_type;
    std::string body;
    std::uint32_t retry_after_seconds = 0;  // sent as Retry-After when not 0
    std::string allow;                      // sent as Allow when not empty (405)
    bool no_store = false;                  // Cache-Control: no-store (pages holding a key)
};

// The GBK text/plain reply the desktop tool shows: UTF-8 text in, GBK body out.
Reply TextReply(int status, std::string_view utf8_text);

// Status line, headers and body as one block, so that the reply leaves in one
// write: headers and body written apart meet Nagle's algorithm and the peer's
// delayed ACK and stall each reply by tens of milliseconds.
std::string SerializeReply(const Reply& reply, bool keep_alive);

std::string_view ReasonPhrase(int status);

}  // namespace corvane::server
