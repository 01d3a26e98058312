#include "cli/cli_app.h"

namespace pelmora::cli {

void AddExportCommands(CLI::App& /*app*/, Cli& /*cli*/) {}

}  // namespace pelmora::cli
