// The web site every test starts with: a closed port on this machine, so nothing a test does
// reaches the network, and a fetch fails at once.
#pragma once

namespace qz::test {
inline constexpr char kOfflineWebSite[] = "http://127.0.0.1:9";
}
