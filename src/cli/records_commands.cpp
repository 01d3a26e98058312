#include "cli/cli_app.h"

namespace pelmora::cli {

void AddRecordsCommands(CLI::App& /*app*/, Cli& /*cli*/) {}

}  // namespace pelmora::cli
