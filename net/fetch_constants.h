// What every fetch sends, on every platform.
#pragma once

namespace corvane::net {

inline constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
inline constexpr char kVerb[] = "GET";
inline constexpr char kHttpVersion[] = "HTTP/1.0";
// The accept-type entry is a whole header line (with a blank before CR LF);
// the extra header text repeats it without the blank and ends the head.
inline constexpr char kAcceptTypeEntry[] = "Accept: */* \r\n";
inline constexpr char kExtraHeaders[] = "Accept: */*\r\n\r\n";
inline constexpr unsigned long kExtraHeadersLength = sizeof kExtraHeaders - 1;  // 15
// Where a client takes one header value instead, this meets both of the above.
inline constexpr char kAcceptHeader[] = "Accept: */*";

}  // namespace corvane::net
