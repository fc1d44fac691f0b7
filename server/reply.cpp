#include "reply.h"

#include "gbk.h"

namespace corvane::server {

constexpr std::string_view kGbkTextType = "text/plain; charset=GBK";
constexpr std::string_view kServerName = "corvane";

Reply TextReply(int status, std::string_view utf8_text) {
    Reply reply;
    reply.status = status;
    reply.content_type = kGbkTextType;
    reply.body = Utf8ToGbk(utf8_text);
    return reply;
}

std::string_view ReasonPhrase(int status) {
    switch (status) {
        case 200: return "OK";
        case 201: return "Created";
        case 303: return "See Other";
        case 400: return "Bad Request";
        case 401: return "Unauthorized";
        case 403: return "Forbidden";
        case 404: return "Not Found";
        case 405: return "Method Not Allowed";
        case 408: return "Request Timeout";
        case 413: return "Content Too Large";
        case 414: return "URI Too Long";
        case 429: return "Too Many Requests";
        case 431: return "Request Header Fields Too Large";
        case 500: return "Internal Server Error";
        case 501: return "Not Implemented";
        case 503: return "Service Unavailable";
        case 505: return "HTTP Version Not Supported";
        default: return "Unknown";
    }
}

std::string SerializeReply(const Reply& reply, bool keep_alive) {
    std::string out;
    out.reserve(200 + reply.body.size());
    out += "HTTP/1.1 ";
    out += std::to_string(reply.status);
    out += ' ';
    out += ReasonPhrase(reply.status);
    out += "\r\nServer: ";
    out += kServerName;
    if (!reply.content_type.empty()) {
        out += "\r\nContent-Type: ";
        out += reply.content_type;
        out += "\r\nX-Content-Type-Options: nosniff";
    }
    out += "\r\nContent-Length: ";
    out += std::to_string(reply.body.size());
    if (reply.retry_after_seconds != 0) {
        out += "\r\nRetry-After: ";
        out += std::to_string(reply.retry_after_seconds);
    }
    if (!reply.allow.empty()) {
        out += "\r\nAllow: ";
        out += reply.allow;
    }
    if (reply.no_store) out += "\r\nCache-Control: no-store";
    out += keep_alive ? "\r\nConnection: keep-alive\r\n\r\n" : "\r\nConnection: close\r\n\r\n";
    out += reply.body;
    return out;
}

}  // namespace corvane::server
