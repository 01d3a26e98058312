#include "update/update_check.h"

#include <gtest/gtest.h>

#include "update/local_http_server.h"

namespace pelmora {
namespace {

constexpr const char* kOwn = "1.0.6.6";

// Empty pieces are skipped, numbers compared by value at any length; "1.0.10." is how the
// first 7 characters of 1.0.10.1 compare.
TEST(CompareVersions, ComparesByValueAndRefusesWhatIsNoVersion) {
    const struct {
        const char *a, *b;
        int expected;
    } cases[] = {{"1.0.6.7", "1.0.6.6", 1}, {"1.0.6.6", "1.0.6.6", 0},
                 {"1.0.6", "1.0.6.6", -1},  {"1.0.6", "1.0.6.0", 0},
                 {"1.1", "1.0.6.6", 1},     {"1.0.10.", "1.0.6.6", 1},
                 {"..1..2.", "1.2", 0},     {"2", "10", -1},
                 {"007", "7", 0},           {"99999999999999999999", "99999999999999999998", 1}};
    for (const auto& c : cases)
        EXPECT_EQ(CompareVersions(c.a, c.b), c.expected) << c.a << " against " << c.b;
    for (const char* bad : {"1.0.6.6.1", "", "...", "Not Fou", "1.0 ", "-1.0", "1.0\r\n", "x"}) {
        EXPECT_EQ(CompareVersions(bad, "1.0"), kFirstVersionMalformed) << bad;
        EXPECT_EQ(CompareVersions("1.0", bad), kSecondVersionMalformed) << bad;
    }
}

PageFetcher RealFetch(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return [timeout](const std::string& address) { return FetchPage(address, {timeout}); };
}

TEST(FindUpdate, ReadsThePublishedVersionFromTheUpdatePage) {
    const struct {
        std::string body, published;
        bool newer;
        UpdateResult result;  // when not newer
    } cases[] = {
        {"1.0.6.6\n", "1.0.6.6", false, UpdateResult::NotRequired},
        {"1.0.6", "1.0.6", false, UpdateResult::NotRequired},
        {"1.0.10.1\n", "1.0.10.", true, {}},
        {"1.1\r\n<html>", "1.1", true, {}},  // a short version and the page at once
        {"<html><body>Not Found</body></html>", "", false, UpdateResult::NotRequired},
        {"", "", false, UpdateResult::DownloadFailure},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        test::LocalHttpServer server(test::LocalHttpServer::Body(c.body));
        const UpdateFinding found = FindUpdate(server.Base(), RealFetch(), kOwn);
        EXPECT_EQ(found.newer, c.newer);
        EXPECT_EQ(found.published, c.published);
        EXPECT_TRUE(found.newer || found.result == c.result);
        ASSERT_EQ(server.Requests().size(), 1u);
        EXPECT_EQ(server.Requests()[0].rfind("GET /pelmora_update.htm HTTP/1.1\r\n", 0), 0u);
    }
}

TEST(FetchPage, BypassesCachesFollowsRedirectsAndReadsAtMost4096Bytes) {
    const auto moved = test::LocalHttpServer::Body("1.1\n" + std::string(10'000, 'x'));
    test::LocalHttpServer server([&moved](const std::string& request) {
        return request.rfind("GET /moved ", 0) == 0
                   ? moved(request)
                   : "HTTP/1.1 302 Found\r\nLocation: /moved\r\nContent-Length: 0\r\n"
                     "Connection: close\r\n\r\n";
    });
    const PageFetch page = FetchPage(server.Base() + "pelmora_update.htm");
    EXPECT_EQ(page.status, FetchStatus::Read);
    EXPECT_EQ(page.body, "1.1\n" + std::string(4092, 'x'));
    ASSERT_EQ(server.Requests().size(), 2u);
    for (const char* header :
         {"User-Agent: AutoUpdateAgent\r\n", "Cache-Control: no-cache\r\n", "Pragma: no-cache\r\n"})
        EXPECT_NE(server.Requests()[0].find(header), std::string::npos) << header;
}

TEST(FindUpdate, EveryFailureOfTheConnectionHasItsResult) {
    const test::LoopbackPort silent(true), refusing;
    // Connected but never answered: the time limit ends the wait.
    EXPECT_EQ(FindUpdate(silent.Base(), RealFetch(std::chrono::seconds(1)), kOwn).result,
              UpdateResult::SessionFailure);
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
    bool yes = false, starts = false;
    const UpdatePrompts prompts{[&](const std::string& q) { return asked.push_back(q), yes; },
                                [&](const std::string& a) { return opened.push_back(a), starts; },
                                [&](const std::string& m) { told.push_back(m); }};

    EXPECT_EQ(Check(site, published, prompts, kOwn), UpdateResult::Declined);
    EXPECT_EQ(asked, std::vector<std::string>{"Would you like update Pelmora v1.0.6.6 to "
                                              "v1.0.6.7,\nClick yes to visit download site..."});
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
