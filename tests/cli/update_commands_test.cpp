#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/cli_runner.h"
#include "update/local_http_server.h"

namespace pelmora {
namespace {

class CliCheckUpdate : public test::CliTest {};

TEST_F(CliCheckUpdate, PrintsTheOfferOrTheMessageAndFailsOnlyWhenTheCheckFails) {
    test::LocalHttpServer newer(test::LocalHttpServer::Body("99.0\r\n<html></html>"));
    test::LocalHttpServer same(test::LocalHttpServer::Body(PELMORA_VERSION));
    test::RefusingPort refusing;
    // The option wins over the environment, which wins over the program's own site.
    ::setenv("PELMORA_UPDATE_SITE", refusing.Base().c_str(), 1);

    const std::string site = newer.Base();
    const auto offer = Run({"check-update", "--site", site.substr(0, site.size() - 1)});
    EXPECT_EQ(offer.status, 0);
    EXPECT_EQ(offer.out, "Would you like update Pelmora v" PELMORA_VERSION
                         " to v99.0,\nClick yes to visit download site...\n" +
                             site + "pelmora.htm#new_version\n");

    const auto current = Run({"check-update", "--site", same.Base()});
    EXPECT_EQ(current.status, 0);
    EXPECT_EQ(current.out, "Update Not Required\n");

    const auto failed = Run({"check-update"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, "");
    EXPECT_EQ(failed.err, "Internet Connect Failure\n");
    ::unsetenv("PELMORA_UPDATE_SITE");
}

}  // namespace
}  // namespace pelmora
