#include "router.h"

#include "getip.h"
#include "key_service.h"
#include "query_string.h"

namespace corvane::server {
namespace {

constexpr std::string_view kHtmlType = "text/html; charset=utf-8";
constexpr std::string_view kPlainUtf8Type = "text/plain; charset=utf-8";
constexpr std::string_view kAllowed = "GET, POST";

bool WantsPlainText(std::string_view accept) {
    return accept.find("text/plain") != std::string_view::npos &&
           accept.find("text/html") == std::string_view::npos;
}

Reply Typed(int status, std::string_view content_type, std::string body) {
    Reply reply;
    reply.status = status;
    reply.content_type = content_type;
    reply.body = std::move(body);
    return reply;
}

Reply Html(int status, std::string body) { return Typed(status, kHtmlType, std::move(body)); }

Reply Plain(int status, std::string body) { return Typed(status, kPlainUtf8Type, std::move(body)); }

Reply NotAllowed(std::string_view allowed) {
    Reply reply = TextReply(405, "错误: 不支持这种请求方法，请使用 " + std::string(allowed) + "。");
    reply.allow = allowed;
    return reply;
}

}  // namespace

Reply Router::Handle(const Request& request) const {
    const Target target = SplitTarget(request.target);
    const bool get = request.method == "GET";
    const bool post = request.method == "POST";
    if (!get && !post) return NotAllowed(kAllowed);

    if (target.path == "/getip") {
        if (!get) return NotAllowed("GET");
        const auto data = data_.Current();
        const GetipContext context{keys_, *data, names_, facts_.daily_quota};
        return HandleGetip(context, target.query, request.client);
    }
    if (target.path == "/key" || target.path == "/") {
        if (post) return IssueKey(request);
        Reply page = Html(200, KeyPageHtml(facts_));
        return page;
    }
    return TextReply(404, "错误: 没有这个页面。查询地址请用 /getip?ip=地址&key=密钥，领取密钥请打开 /key。");
}

Reply Router::IssueKey(const Request& request) const {
    const bool plain = WantsPlainText(request.accept);
    const std::string client = request.client ? request.client->ToString() : std::string();
    const keys::IssueResult result = keys_.Issue(client);
    Reply reply;
    switch (result.status) {
        case keys::IssueStatus::kIssued:
            reply = plain ? Plain(200, result.key) : Html(200, KeyIssuedHtml(facts_, result.key));
            reply.no_store = true;
            return reply;
        case keys::IssueStatus::kRateLimited: {
            const std::string message = "这个地址领取密钥太频繁了，请 " +
                                        std::to_string(result.retry_after_seconds) + " 秒后再试。";
            reply = plain ? Plain(429, message + "\n") : Html(429, KeyRefusedHtml(message));
            reply.retry_after_seconds = std::max<std::uint32_t>(1, result.retry_after_seconds);
            return reply;
        }
        case keys::IssueStatus::kStoreFailed:
            break;
    }
    const std::string message = "服务器暂时无法保存新密钥，请稍后再试。";
    return plain ? Plain(500, message + "\n") : Html(500, KeyRefusedHtml(message));
}

Reply BadRequestReply() {
    return TextReply(400,
                     "错误: 请求格式不正确。地址和密钥中不能含空格或其他特殊字符，"
                     "请只输入地址（如 8.8.8.8）和密钥本身。");
}

Reply UriTooLongReply() { return TextReply(414, "错误: 请求地址太长。"); }

Reply HeadersTooLargeReply() { return TextReply(431, "错误: 请求头太大或太多。"); }

Reply BodyTooLargeReply() { return TextReply(413, "错误: 请求内容太大。"); }

Reply TimeoutReply() { return TextReply(408, "错误: 请求发送得太慢，连接已关闭。"); }

Reply OverloadedReply() { return TextReply(503, "错误: 服务器繁忙（连接过多），请稍后再试。"); }

}  // namespace corvane::server
