#include "cli/cli_app.h"

namespace pelmora::cli {

void AddEditCommands(CLI::App& /*app*/, Cli& /*cli*/) {}

}  // namespace pelmora::cli
