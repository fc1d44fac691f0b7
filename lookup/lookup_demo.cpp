// Shows the lookup logic on a sample reply until the window exists: the URL a
// query sends and the text the result box would show.
#include <cstdio>
#include <string>

#include "lookup_query.h"

namespace {

class SampleReply : public corvane::PageFetcher {
public:
    corvane::ByteBuffer Fetch(std::string_view url) override {
        std::printf("URL sent:   %.*s\n", static_cast<int>(url.size()), url.data());
        const std::string reply = "IP: 8.8.8.8<br>Country: US<BR>City: Mountain View<br/>";
        std::printf("Reply:      %s\n", reply.c_str());
        return corvane::ByteBuffer(reply.begin(), reply.end());
    }
};

}  // namespace

int main() {
    SampleReply fetcher;
    const std::string text = corvane::LookupQuery(fetcher, "2100", "8.8.8.8", "demo-key");
    std::printf("Shown as:\n");
    for (char c : text) {
        if (c == '\r') std::fputs("\\r", stdout);
        else if (c == '\n') std::fputs("\\n\n", stdout);
        else std::putchar(c);
    }
    std::putchar('\n');
    return 0;
}
