#include "update/update_check.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "update/local_http_server.h"

namespace pelmora {
namespace {

constexpr const char* kOwn = "1.0.6.6";

TEST(CompareVersions, Table) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"1.0.6.7", "1.0.6.6", 1},
        {"1.0.6.6", "1.0.6.6", 0},
        {"1.0.6", "1.0.6.6", -1},
        {"1.0.6", "1.0.6.0", 0},
        {"1.1", "1.0.6.6", 1},
        {"1.0.10.", "1.0.6.6", 1},  // the first 7 characters of 1.0.10.1
        {"..1..2.", "1.2", 0},      // empty pieces are skipped
        {"2", "10", -1},            // by value, not by text
        {"007", "7", 0},
        {"99999999999999999999", "99999999999999999998", 1},  // beyond any integer type
        {"1.0.6.6", "1.0.6.6.0", kSecondVersionMalformed},
        {"1.0.6.6.1", "1.0", kFirstVersionMalformed},
        {"", "1.0", kFirstVersionMalformed},
        {"...", "1.0", kFirstVersionMalformed},
        {"1.0", "", kSecondVersionMalformed},
        {"Not Fou", "1.0", kFirstVersionMalformed},
        {"1.0 ", "1.0", kFirstVersionMalformed},
        {"-1.0", "1.0", kFirstVersionMalformed},
        {"1.0\r\n", "1.0", kFirstVersionMalformed},
        {"x", "y", kFirstVersionMalformed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareVersions(c.a, c.b), c.expected) << c.a << " against " << c.b;
}

PageFetcher RealFetch(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return [timeout](const std::string& address) { return FetchPage(address, {timeout}); };
}

TEST(FindUpdate, ReadsThePublishedVersionFromTheUpdatePage) {
    struct Case {
        std::string body;
        bool newer;
        std::string published;
        UpdateResult result;
    };
    const Case cases[] = {
        {"1.0.6.7\r\n<html>download it</html>", true, "1.0.6.7", {}},
        {"1.0.6.6\n", false, "1.0.6.6", UpdateResult::NotRequired},
        {"1.0.6", false, "1.0.6", UpdateResult::NotRequired},
        {"1.1", true, "1.1", {}},
        {"1.0.10.1\n", true, "1.0.10.", {}},
        {"1.1\r\n<html>", true, "1.1", {}},  // a short version and the page at once
        {"<html><body>Not Found</body></html>", false, "", UpdateResult::NotRequired},
        {"1.0.6.6a", false, "1.0.6.6", UpdateResult::NotRequired},
        {"", false, "", UpdateResult::DownloadFailure},
    };
    for (const Case& c : cases) {
        test::LocalHttpServer server(test::LocalHttpServer::Body(c.body));
        const UpdateFinding found = FindUpdate(server.Base(), RealFetch(), kOwn);
        EXPECT_EQ(found.newer, c.newer) << c.body;
        EXPECT_EQ(found.published, c.published) << c.body;
        if (!c.newer) {
            EXPECT_EQ(found.result, c.result) << c.body;
        }
        ASSERT_EQ(server.Requests().size(), 1u);
        EXPECT_EQ(server.Requests()[0].rfind("GET /pelmora_update.htm HTTP/1.1\r\n", 0), 0u);
    }
}

TEST(FetchPage, BypassesCachesFollowsRedirectsAndReadsAtMost4096Bytes) {
    const std::string big = "1.1\n" + std::string(10'000, 'x');
    test::LocalHttpServer server([&big](const std::string& request) -> std::optional<std::string> {
        if (request.rfind("GET /moved ", 0) == 0)
            return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(big.size()) +
                   "\r\nConnection: close\r\n\r\n" + big;
        return std::string(
            "HTTP/1.1 302 Found\r\nLocation: /moved\r\nContent-Length: 0\r\n"
            "Connection: close\r\n\r\n");
    });
    const PageFetch page = FetchPage(server.Base() + "pelmora_update.htm");
    EXPECT_EQ(page.status, FetchStatus::Read);
    EXPECT_EQ(page.body, big.substr(0, 4096));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    for (const char* header :
         {"User-Agent: AutoUpdateAgent\r\n", "Cache-Control: no-cache\r\n", "Pragma: no-cache\r\n"})
        EXPECT_NE(requests[0].find(header), std::string::npos) << header;
}

TEST(FindUpdate, EveryFailureOfTheConnectionHasItsResult) {
    // Accepts and never answers: the time limit ends the wait.
    test::LocalHttpServer silent([](const std::string&) { return std::nullopt; });
    EXPECT_EQ(FindUpdate(silent.Base(), RealFetch(std::chrono::seconds(1)), kOwn).result,
              UpdateResult::SessionFailure);

    test::RefusingPort refusing;
    EXPECT_EQ(FindUpdate(refusing.Base(), RealFetch(), kOwn).result, UpdateResult::ConnectFailure);
    EXPECT_EQ(FindUpdate("http://host.invalid/", RealFetch(std::chrono::seconds(2)), kOwn).result,
              UpdateResult::ConnectFailure);

    // Never a local file, whatever the site is said to be.
    EXPECT_EQ(FindUpdate("file:///etc/", RealFetch(), kOwn).result, UpdateResult::SessionFailure);
}

TEST(Check, OffersTheDownloadPageAndHandsItToTheBrowser) {
    const std::string site = "https://example.org/pelmora/";
    const PageFetcher published = [](const std::string&) {
        return PageFetch{FetchStatus::Read, "1.0.6.7\r\n"};
    };
    std::vector<std::string> asked, opened, told;
    bool yes = false;
    bool starts = false;
    const UpdatePrompts prompts{[&](const std::string& q) { return asked.push_back(q), yes; },
                                [&](const std::string& a) { return opened.push_back(a), starts; },
                                [&](const std::string& m) { told.push_back(m); }};

    EXPECT_EQ(Check(site, published, prompts, kOwn), UpdateResult::Declined);
    EXPECT_EQ(asked, std::vector<std::string>{"Would you like update Pelmora v1.0.6.6 to "
                                              "v1.0.6.7,\nClick yes to visit download site..."});
    EXPECT_TRUE(opened.empty());

    yes = true;
    EXPECT_EQ(Check(site, published, prompts, kOwn), UpdateResult::BrowserFailure);
    EXPECT_EQ(opened, std::vector<std::string>{site + "pelmora.htm#new_version"});
    EXPECT_EQ(told, std::vector<std::string>{"Unable to open browser... try to visit " + site +
                                             "pelmora.htm on your own"});

    starts = true;
    EXPECT_EQ(Check(site, published, prompts, kOwn), UpdateResult::BrowserOpened);
    EXPECT_EQ(Check(site, published, prompts, ""), UpdateResult::NoOwnVersion);
    EXPECT_EQ(Check(site, published, prompts, "1.0.6.7"), UpdateResult::NotRequired);
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_EQ(UpdateMessage(UpdateResult::Declined), "Update Not Complete");
}

TEST(UpdateSiteBase, TheOptionThenTheEnvironmentThenTheProgramsSite) {
    ::unsetenv(kUpdateSiteVariable);
    EXPECT_EQ(UpdateSiteBase(), kDefaultUpdateSite);
    ::setenv(kUpdateSiteVariable, "http://mirror.example", 1);
    EXPECT_EQ(UpdateSiteBase(), "http://mirror.example/");
    EXPECT_EQ(UpdateSiteBase("http://other.example/x/"), "http://other.example/x/");
    ::unsetenv(kUpdateSiteVariable);
}

}  // namespace
}  // namespace pelmora
