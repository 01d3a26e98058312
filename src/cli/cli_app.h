#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <iosfwd>
#include <limits>
#include <string>

#include "base/outcome.h"
#include "base/project.h"
#include "wad/wad_open.h"

namespace pelmora::cli {

// Exit statuses of pelmora-cli.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// What every command shares: the output streams and the status the run ends with.
class Cli {
public:
    Cli(std::ostream& out, std::ostream& err, bool progressOnTerminal)
        : out(out), err(err), progressOnTerminal(progressOnTerminal) {}

    std::ostream& out;
    std::ostream& err;
    bool progressOnTerminal;  // progress lines go to stderr only when it is a terminal
    int exitCode = kExitOk;
    std::string file;  // the FILE the command works on, once Open has seen it
    // The command prints one JSON document: Modify then leaves "saved as" to the document.
    bool json = false;
    std::string savedPath;  // where Modify saved the project; empty when it did not save

    // Opens FILE for reading only: the rest of the file is not copied, so the project
    // cannot be saved. False (message printed, status 1) when it cannot.
    bool Open(Project& project, const std::string& file, RestOfFile rest = RestOfFile::Skip);

    // Opens FILE, runs op and saves: with Save, or with Save As at output when given.
    // An op that fails without changing anything leaves the file alone. An op that changed
    // the project but has a message (a skipped image, say) is saved and the run ends with 1.
    void Modify(const std::string& file, const std::string& output,
                const std::function<Outcome(Project&)>& op);

    // Prints an outcome that is not Done as one line naming its subject, and sets the status
    // ExitCodeFor gives it.
    void Fail(const Outcome& outcome);
    // Reports an outcome: Fail unless it is Done; a Done outcome's message goes to stderr.
    void Report(const Outcome& outcome);
};

// The one mapping from what an operation did to the exit status: 0 when it was done with
// nothing to report; 1 when it was done with a warning, refused or failed. (2, a usage
// error, is the parser's and never an operation's.)
int ExitCodeFor(const Outcome& outcome);

// The 0-based index of a page or texture number as the command line takes it (from 1).
// Modular, so that any int maps to an index the core refuses with the number as typed.
int IndexOf(int number);

// Checks a whole-number argument: not empty, digits only, from min to max. Every numeric
// option uses it, so that all say their range the same way.
CLI::Validator WholeNumber(int min = std::numeric_limits<int>::min(),
                           int max = std::numeric_limits<int>::max());

// Adds "--color RRGGBB" to a command; the parsed colour lands in *colour (0x00BBGGRR).
CLI::Option* AddColourOption(CLI::App* command, const std::string& name, Colour* colour,
                             const std::string& description);
// Adds "-o, --output OUT".
CLI::Option* AddOutputOption(CLI::App* command, std::string* output);
// Adds "--json": the command prints one JSON document instead of its text lines.
CLI::Option* AddJsonOption(CLI::App* command, Cli& cli);

// The command groups; each lives in its own file.
void AddFileCommands(CLI::App& app, Cli& cli);
void AddEditCommands(CLI::App& app, Cli& cli);
void AddRecordsCommands(CLI::App& app, Cli& cli);
void AddExportCommands(CLI::App& app, Cli& cli);
void AddUpdateCommands(CLI::App& app, Cli& cli);

// Parses argv and runs the command; returns the exit status.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           bool progressOnTerminal);

}  // namespace pelmora::cli
