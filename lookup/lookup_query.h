// The tool's one action: port, address and key in, display text out.
#pragma once

#include <string>
#include <string_view>

#include "page_fetcher.h"

namespace corvane {

// "http://" + server address + ":" + port + "/getip?ip=" + address + "&key=" + key,
// joined as typed: nothing is trimmed, validated or percent-encoded.
std::string ComposeLookupUrl(std::string_view port, std::string_view address,
                             std::string_view key);

// The reply's bytes up to, not including, the first zero byte.
std::string ReplyToText(const ByteBuffer& reply);

// Fetches the lookup URL and turns the reply into the text the result box
// shows: cut at the first zero byte, every "<br>" (any letter case) made CR LF.
std::string LookupQuery(PageFetcher& fetcher, std::string_view port,
                        std::string_view address, std::string_view key);

}  // namespace corvane
