#pragma once

#include <functional>
#include <string>

#include "update/page_fetch.h"
#include "update/version.h"

namespace pelmora {

// How a check for a newer version ended; the numbers are the ones users and scripts know.
enum class UpdateResult {
    BrowserOpened = 0,
    ConnectFailure = 1,   // no connection to the site (see FetchStatus::NoConnection)
    SessionFailure = 2,   // the update page could not be opened
    DownloadFailure = 3,  // the update page had nothing to read
    BrowserFailure = 4,   // the browser could not be started on the download page
    // The program's own version is unknown. The build always states it, so only a caller
    // that passes an empty own version gets this.
    NoOwnVersion = 5,
    NotRequired = 6,  // nothing newer is published, or a version text is not a version
    Declined = 7,     // the user did not want to visit the download site
};

// The one-line message shown for a result; empty for BrowserOpened.
std::string UpdateMessage(UpdateResult result);

// Where the program's site is unless the user names another one.
constexpr const char* kDefaultUpdateSite = "https://pelmora.org/";
// The environment variable that names another site.
constexpr const char* kUpdateSiteVariable = "PELMORA_UPDATE_SITE";
constexpr const char* kUpdateCaption = "Update is available";

// The site base to ask: given when not empty, else the one PELMORA_UPDATE_SITE names, else
// the program's own site; always ending in "/".
std::string UpdateSiteBase(const std::string& given = {});
// The page whose first characters are the published version.
std::string UpdatePageAddress(const std::string& siteBase);
// The page people download the program from, and where the browser is sent on it.
std::string DownloadPageAddress(const std::string& siteBase);
std::string DownloadVisitAddress(const std::string& siteBase);

// The question that offers the download, and what is said when no browser starts.
std::string UpdateQuestion(const std::string& own, const std::string& published);
std::string BrowserFailureMessage(const std::string& siteBase);

using PageFetcher = std::function<PageFetch(const std::string& address)>;

// What the site says: either a newer version (newer, with both version texts) or the result
// the check ends with.
struct UpdateFinding {
    bool newer = false;
    UpdateResult result = UpdateResult::NotRequired;  // when not newer
    std::string own;
    std::string published;
};

// Fetches the update page through fetch and compares its version with own.
UpdateFinding FindUpdate(const std::string& siteBase, const PageFetcher& fetch,
                         const std::string& own = OwnVersion());

// The parts of a check that involve the user; the caller decides how each is done.
struct UpdatePrompts {
    std::function<bool(const std::string& question)> askToVisit;  // true for yes
    std::function<bool(const std::string& address)> openBrowser;  // true when it started
    std::function<void(const std::string& message)> tell;         // a message with OK only
};

// The whole check: FindUpdate, then, when something newer is published, the offer to visit
// the download page and the hand-over to the browser.
UpdateResult Check(const std::string& siteBase, const PageFetcher& fetch,
                   const UpdatePrompts& prompts, const std::string& own = OwnVersion());

}  // namespace pelmora
