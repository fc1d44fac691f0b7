#include "lookup_query.h"

#include <algorithm>

#include "batch_replace.h"
#include "corvane_config.h"

namespace corvane {
namespace {

constexpr std::string_view kServerPiece = "http://" CORVANE_SERVER_ADDRESS ":";
constexpr std::string_view kPathPiece = "/getip?ip=";
constexpr std::string_view kKeyPiece = "&key=";
constexpr ReplacePair kLineBreak{"<br>", "\r\n"};

}  // namespace

std::string ComposeLookupUrl(std::string_view port, std::string_view address,
                             std::string_view key) {
    std::string url;
    url.reserve(kServerPiece.size() + port.size() + kPathPiece.size() + address.size() +
                kKeyPiece.size() + key.size());
    url.append(kServerPiece).append(port).append(kPathPiece);
    url.append(address).append(kKeyPiece).append(key);
    return url;
}

std::string ReplyToText(const ByteBuffer& reply) {
    const auto end = std::find(reply.begin(), reply.end(), '\0');
    return std::string(reply.begin(), end);
}

std::string LookupQuery(PageFetcher& fetcher, std::string_view port,
                        std::string_view address, std::string_view key) {
    std::string text;
    {
        const std::string url = ComposeLookupUrl(port, address, key);
        text = ReplyToText(fetcher.Fetch(url));
    }
    return BatchReplace(text, ReplaceOptions{}, kLineBreak);
}

}  // namespace corvane
