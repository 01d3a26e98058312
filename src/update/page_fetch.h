#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace pelmora {

// How a fetch of a small web page ended.
enum class FetchStatus {
    // The server answered; the body holds what it sent (perhaps nothing). An error page of
    // the server counts as an answer.
    Read,
    // No connection to the site (or to the proxy in front of it) could be made before the
    // request: the host name does not resolve, nothing listens there, no route leads there,
    // or the time ran out while connecting. On Linux this is what "no internet connection"
    // means to the program.
    NoConnection,
    // A connection was made but no page came back: the transfer broke or timed out before
    // the answer's headers, TLS failed, redirects ran in circles, or the address is unusable.
    NotOpened,
};

struct PageFetch {
    FetchStatus status = FetchStatus::NotOpened;
    std::string body;
};

struct FetchLimits {
    // The whole fetch, redirects included, ends after this long, so a silent server can
    // never keep the caller waiting.
    std::chrono::milliseconds timeout{10'000};
    // The transfer is broken off once this much of the body has come.
    std::size_t maxBytes = 4096;
};

// Fetches address (http or https only) with the agent name "AutoUpdateAgent", bypassing
// caches on the way, following redirects and using the proxy that the environment names
// (http_proxy, https_proxy, no_proxy). Safe to call from any thread.
PageFetch FetchPage(const std::string& address, const FetchLimits& limits = {});

}  // namespace pelmora
