#include "cli/cli_app.h"
#include "update/update_check.h"

namespace pelmora::cli {

void AddUpdateCommands(CLI::App& app, Cli& cli) {
    auto site = std::make_shared<std::string>();
    auto* check = app.add_subcommand(
        "check-update",
        "Ask the program's site whether a newer version is published (never starts a browser)");
    check
        ->add_option("--site", *site,
                     std::string("Site base to ask (default: $") + kUpdateSiteVariable + " or " +
                         kDefaultUpdateSite + ")")
        ->type_name("URL");
    check->callback([&cli, site] {
        const std::string base = UpdateSiteBase(*site);
        const UpdateFinding finding =
            FindUpdate(base, [](const std::string& address) { return FetchPage(address); });
        if (finding.newer) {
            // What the editor would ask, and the page it would open on yes.
            cli.out << UpdateQuestion(finding.own, finding.published) << '\n'
                    << DownloadVisitAddress(base) << '\n';
        } else if (finding.result == UpdateResult::NotRequired) {
            cli.out << UpdateMessage(finding.result) << '\n';
        } else {
            cli.Fail(Outcome::Failed({}, UpdateMessage(finding.result)));
        }
    });
}

}  // namespace pelmora::cli
