#include "update/page_fetch.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>

namespace pelmora {

namespace {

constexpr std::size_t kMaxAddressLength = 1024;
constexpr long kMaxRedirects = 10;
constexpr const char* kAgentName = "AutoUpdateAgent";

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

void InitialiseCurlOnce() {
    // curl_easy_init would do this itself, but not safely when two threads race to it.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The address with unsafe characters escaped; nothing when it is not an http(s) address or
// is too long to be a sane one.
std::optional<std::string> CanonicalAddress(const std::string& address) {
    std::unique_ptr<CURLU, CurlDeleter> url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, address.c_str(),
                             CURLU_ALLOW_SPACE | CURLU_URLENCODE) != CURLUE_OK)
        return std::nullopt;
    char* scheme = nullptr;
    char* full = nullptr;
    std::optional<std::string> canonical;
    if (curl_url_get(url.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
        curl_url_get(url.get(), CURLUPART_URL, &full, CURLU_URLENCODE) == CURLUE_OK) {
        const std::string s = scheme;
        if ((s == "http" || s == "https") && std::string(full).size() <= kMaxAddressLength)
            canonical = full;
    }
    curl_free(scheme);
    curl_free(full);
    return canonical;
}

struct BodySink {
    std::string* body;
    std::size_t limit;
};

std::size_t CollectBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<BodySink*>(user);
    const std::size_t bytes = size * count;
    const std::size_t room = sink->limit - sink->body->size();
    sink->body->append(data, std::min(bytes, room));
    return bytes <= room ? bytes : 0;  // taking less than offered breaks the transfer off
}

}  // namespace

PageFetch FetchPage(const std::string& address, const FetchLimits& limits) {
    InitialiseCurlOnce();
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) return {FetchStatus::NoConnection, {}};
    const std::optional<std::string> canonical = CanonicalAddress(address);
    if (!canonical) return {FetchStatus::NotOpened, {}};

    std::unique_ptr<curl_slist, CurlDeleter> headers;
    for (const char* header : {"Cache-Control: no-cache", "Pragma: no-cache"}) {
        curl_slist* longer = curl_slist_append(headers.get(), header);
        if (!longer) return {FetchStatus::NotOpened, {}};
        headers.release();
        headers.reset(longer);
    }

    PageFetch fetch{FetchStatus::Read, {}};
    BodySink sink{&fetch.body, limits.maxBytes};
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, canonical->c_str());
    // A redirect must not lead to a local file or another protocol.
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(c, CURLOPT_USERAGENT, kAgentName);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, std::max<long>(1, limits.timeout.count()));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);  // the fetch may run off the main thread
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, CollectBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);

    if (curl_easy_perform(c) == CURLE_OK || !fetch.body.empty()) {
        // A transfer broken off (at the byte limit, or by the server) still gives the start
        // of the page, and only its start matters.
        return fetch;
    }
    long status = 0;
    long connections = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(c, CURLINFO_NUM_CONNECTS, &connections);
    if (status == 0 && connections == 0) fetch.status = FetchStatus::NoConnection;
    // Without a final answer (none at all, or a redirect that led nowhere) the page never
    // opened; an answer whose body did not come is a page with nothing to read.
    else if (status < 200 || (status >= 300 && status < 400))
        fetch.status = FetchStatus::NotOpened;
    return fetch;
}

}  // namespace pelmora
