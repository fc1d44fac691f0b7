#include "key_page.h"

namespace corvane::server {
namespace {

constexpr std::string_view kHead = R"(<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Corvane IP 位置查询 · 访问密钥</title>
<style>
  :root { color-scheme: light dark; --accent: #1565c0; --muted: #5f6b7a; --card: #ffffff; --page: #f3f5f8; --line: #dde3ea; }
  @media (prefers-color-scheme: dark) { :root { --accent: #64a8f0; --muted: #9aa7b5; --card: #1d2430; --page: #12171f; --line: #2d3746; } }
  * { box-sizing: border-box; }
  body { margin: 0; background: var(--page); font: 16px/1.65 system-ui, -apple-system, "Segoe UI", "PingFang SC", "Microsoft YaHei", "Noto Sans CJK SC", sans-serif; }
  main { max-width: 44rem; margin: 3rem auto; padding: 0 1.25rem; }
  .card { background: var(--card); border: 1px solid var(--line); border-radius: 14px; padding: 2rem 2.25rem; box-shadow: 0 6px 24px rgba(0,0,0,.06); }
  h1 { margin: 0 0 .25rem; font-size: 1.6rem; }
  h2 { margin: 1.75rem 0 .5rem; font-size: 1.1rem; }
  .lead { margin: 0 0 1.5rem; color: var(--muted); }
  button { font: inherit; font-weight: 600; color: #fff; background: var(--accent); border: 0; border-radius: 10px; padding: .75rem 1.75rem; cursor: pointer; }
  button:hover { filter: brightness(1.1); }
  code, .key { font-family: ui-monospace, "Cascadia Mono", Consolas, "DejaVu Sans Mono", monospace; }
  .key { display: block; margin: 1rem 0; padding: 1rem; font-size: 1.15rem; word-break: break-all; border: 2px dashed var(--accent); border-radius: 10px; user-select: all; }
  .warn { color: #c62828; font-weight: 600; }
  ul { padding-left: 1.25rem; }
  footer { margin-top: 1.5rem; font-size: .85rem; color: var(--muted); text-align: center; }
  a { color: var(--accent); }
</style>
</head>
<body>
<main>
<div class="card">
)";

constexpr std::string_view kFoot = R"(</div>
<footer>位置数据: <a href="https://db-ip.com">IP Geolocation by DB-IP</a>（CC BY 4.0）</footer>
</main>
</body>
</html>
)";

std::string Quota(const KeyPageFacts& facts) { return std::to_string(facts.daily_quota); }

std::string Rate(const KeyPageFacts& facts) {
    const auto per_second = static_cast<long>(facts.refill_per_second);
    return per_second >= 1 ? std::to_string(per_second) : "1";
}

}  // namespace

std::string KeyPageHtml(const KeyPageFacts& facts) {
    std::string page(kHead);
    page += R"(<h1>IP 位置查询</h1>
<p class="lead">输入一个 IPv4 或 IPv6 地址，查出它所在的国家、地区、城市、经纬度和所属网络。</p>
<form method="post" action="/key">
  <button type="submit">免费领取访问密钥</button>
</form>
<h2>怎么用</h2>
<ul>
  <li>在 Corvane 窗口里把密钥填入 “Key” 一栏，输入地址，按 “查询”。</li>
  <li>也可以直接请求 <code>/getip?ip=8.8.8.8&amp;key=你的密钥</code>；多个地址用英文逗号分隔，地址留空则查询你自己的地址。</li>
  <li>每个密钥每天可查询 )" + Quota(facts) + R"( 次（按 UTC 日计算），每秒约 )" + Rate(facts) + R"( 次。</li>
</ul>
<h2>请注意</h2>
<ul>
  <li>密钥只显示一次，服务器只保存它的指纹，丢失后无法找回，只能重新领取。</li>
  <li>脚本可以用 <code>curl -X POST -H "Accept: text/plain" http://本服务地址/key</code> 直接取得密钥。</li>
</ul>
)";
    page += kFoot;
    return page;
}

std::string KeyIssuedHtml(const KeyPageFacts& facts, std::string_view key) {
    std::string page(kHead);
    page += R"(<h1>你的访问密钥</h1>
<p class="lead">请现在就复制并保存好：它只显示这一次。</p>
<code class="key">)";
    page += key;
    page += R"(</code>
<p class="warn">关闭此页后无法再次查看这个密钥。</p>
<ul>
  <li>在 Corvane 窗口里把它填入 “Key” 一栏即可查询。</li>
  <li>每天可查询 )" + Quota(facts) + R"( 次（按 UTC 日计算）。</li>
</ul>
<p><a href="/key">返回</a></p>
)";
    page += kFoot;
    return page;
}

std::string KeyRefusedHtml(std::string_view message) {
    std::string page(kHead);
    page += "<h1>暂时无法领取密钥</h1>\n<p class=\"lead\">";
    page += message;  // the server's own text, never the client's
    page += "</p>\n<p><a href=\"/key\">返回</a></p>\n";
    page += kFoot;
    return page;
}

}  // namespace corvane::server
