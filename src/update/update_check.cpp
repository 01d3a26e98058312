#include "update/update_check.h"

#include <cstdlib>

namespace pelmora {

std::string UpdateMessage(UpdateResult result) {
    switch (result) {
        case UpdateResult::BrowserOpened:
            return {};
        case UpdateResult::ConnectFailure:
            return "Internet Connect Failure";
        case UpdateResult::SessionFailure:
            return "Internet Session Failure";
        case UpdateResult::DownloadFailure:
            return "Config Download Failure";
        case UpdateResult::BrowserFailure:
            return "File Download Failure";
        case UpdateResult::NoOwnVersion:
            return "No Executable Version";
        case UpdateResult::NotRequired:
            return "Update Not Required";
        case UpdateResult::Declined:
            return "Update Not Complete";
    }
    return {};
}

std::string UpdateSiteBase(const std::string& given) {
    std::string base = given;
    if (base.empty()) {
        const char* named = std::getenv(kUpdateSiteVariable);
        base = named && *named ? named : kDefaultUpdateSite;
    }
    if (base.back() != '/') base += '/';
    return base;
}

std::string UpdatePageAddress(const std::string& siteBase) {
    return siteBase + "pelmora_update.htm";
}

std::string DownloadPageAddress(const std::string& siteBase) {
    return siteBase + "pelmora.htm";
}

std::string DownloadVisitAddress(const std::string& siteBase) {
    return DownloadPageAddress(siteBase) + "#new_version";
}

std::string UpdateQuestion(const std::string& own, const std::string& published) {
    return "Would you like update Pelmora v" + own + " to v" + published +
           ",\nClick yes to visit download site...";
}

std::string BrowserFailureMessage(const std::string& siteBase) {
    return "Unable to open browser... try to visit " + DownloadPageAddress(siteBase) +
           " on your own";
}

UpdateFinding FindUpdate(const std::string& siteBase, const PageFetcher& fetch,
                         const std::string& own) {
    UpdateFinding finding;
    finding.own = own;
    const PageFetch page = fetch(UpdatePageAddress(siteBase));
    if (page.status == FetchStatus::NoConnection) {
        finding.result = UpdateResult::ConnectFailure;
    } else if (page.status == FetchStatus::NotOpened) {
        finding.result = UpdateResult::SessionFailure;
    } else if (page.body.empty()) {
        finding.result = UpdateResult::DownloadFailure;
    } else if (own.empty()) {
        finding.result = UpdateResult::NoOwnVersion;
    } else {
        finding.published = PublishedVersion(page.body);
        finding.newer = CompareVersions(finding.published, own) == 1;
        finding.result = UpdateResult::NotRequired;
    }
    return finding;
}

UpdateResult Check(const std::string& siteBase, const PageFetcher& fetch,
                   const UpdatePrompts& prompts, const std::string& own) {
    const UpdateFinding finding = FindUpdate(siteBase, fetch, own);
    if (!finding.newer) return finding.result;
    if (!prompts.askToVisit(UpdateQuestion(finding.own, finding.published)))
        return UpdateResult::Declined;
    if (!prompts.openBrowser(DownloadVisitAddress(siteBase))) {
        prompts.tell(BrowserFailureMessage(siteBase));
        return UpdateResult::BrowserFailure;
    }
    return UpdateResult::BrowserOpened;
}

}  // namespace pelmora
