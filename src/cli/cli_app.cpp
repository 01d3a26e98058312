#include "cli/cli_app.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <regex>

#include "base/paths.h"
#include "edit/add_pieces.h"
#include "records/records_file.h"
#include "wad/wad_open.h"
#include "wad/wad_writer.h"

namespace pelmora::cli {

namespace {

constexpr const char* kEmptyValue = "must not be empty";

// The editor shows some failures as several lines in a box (a bulk export lists the first
// files it could not write); a script reads one line per failure.
std::string OneLine(const std::string& message) {
    std::string line;
    size_t start = 0;
    while (start < message.size()) {
        size_t end = message.find('\n', start);
        if (end == std::string::npos) end = message.size();
        if (end > start) {
            if (!line.empty()) line += line.back() == ':' || line.back() == '.' ? " " : "; ";
            line.append(message, start, end - start);
        }
        start = end + 1;
    }
    return line;
}

// An empty value would be read as 0 or as no file at all; it is always a slip in a script.
const CLI::Validator kNotEmpty(
    [](std::string& text) -> std::string { return text.empty() ? kEmptyValue : ""; }, "");

// Said in every help page, and after "FILE is required" when a dash name was the cause.
constexpr const char* kDashRule =
    "FILE whose name starts with '-' goes after '--': pelmora-cli info -- -level.wad";

void GuardValues(CLI::App* command) {
    for (CLI::Option* option : command->get_options()) {
        // The output path's own rules live with the save code.
        if (option->get_type_size_max() == 0 || option->check_name("--output")) continue;
        option->check(kNotEmpty);
    }
    for (CLI::App* group : command->get_subcommands([](CLI::App*) { return true; }))
        GuardValues(group);
}

// CLI11's words for a missing command or argument, put the way a user sees the mistake.
std::string UsageMessage(CLI::App& app, const CLI::ParseError& error) {
    if (dynamic_cast<const CLI::RequiredError*>(&error) == nullptr) return error.what();
    if (app.get_subcommands().empty()) {
        const std::vector<std::string> words = app.remaining();
        if (words.empty()) return "a command is required";
        if (words.front()[0] == '-') return "a command is required, not " + words.front();
        return "'" + words.front() + "' is not a command";
    }
    for (const std::string& word : app.get_subcommands().front()->remaining()) {
        if (word.size() > 1 && word[0] == '-')
            return std::string(error.what()) + " (a " + kDashRule + ")";
    }
    return error.what();
}

}  // namespace

CLI::Validator WholeNumber(int min, int max) {
    return CLI::Validator(
        [min, max](std::string& text) -> std::string {
            if (text.empty()) return kEmptyValue;
            static const std::regex whole("[-+]?[0-9]+");
            if (!std::regex_match(text, whole)) return "must be a whole number, not '" + text + "'";
            const bool negative = text[0] == '-';
            const size_t digits = text.find_first_not_of("+-0");
            // More than ten significant digits is out of any int range.
            const bool huge = digits != std::string::npos && text.size() - digits > 10;
            const long long value = huge ? (negative ? -1 : 1) * (1LL << 40) : std::stoll(text);
            if (value >= min && value <= max) return {};
            std::string range;
            if (max == std::numeric_limits<int>::max() && min != std::numeric_limits<int>::min())
                range = std::to_string(min) + " or more";
            else
                range = "from " + std::to_string(min) + " to " + std::to_string(max);
            return "must be " + range + ", not " + text;
        },
        "");
}

int ExitCodeFor(const Outcome& outcome) {
    return outcome.IsDone() ? kExitOk : kExitFailed;
}

int IndexOf(int number) {
    return static_cast<int>(static_cast<unsigned>(number) - 1u);
}

bool Cli::Open(Project& project, const std::string& file, RestOfFile rest) {
    this->file = file;
    const Outcome opened = OpenTextureFile(project, file, rest);
    if (!opened.IsDone()) {
        Fail(opened);
        return false;
    }
    return true;
}

void Cli::Fail(const Outcome& outcome) {
    const std::string line = OneLine(outcome.MessageWithSubject());
    err << (outcome.MessageNamesSubject() ? line : outcome.subject + ": " + line) << '\n';
    exitCode = std::max(exitCode, ExitCodeFor(outcome));
}

void Cli::Report(const Outcome& outcome) {
    if (!outcome.IsDone()) {
        Fail(outcome);
    } else if (!outcome.message.empty()) {
        err << outcome.message << '\n';
    }
}

void Cli::Modify(const std::string& file, const std::string& output,
                 const std::function<Outcome(Project&)>& op) {
    Project project;
    if (!Open(project, file, RestOfFile::Copy)) return;
    const Outcome result = op(project);
    if (!result.IsDone() && !result.changed) {
        Fail(result);
        return;
    }
    const std::string before = project.filePath;
    const Outcome saved = output.empty() ? SaveProject(project) : SaveProjectAs(project, output);
    if (!saved.IsDone()) {
        if (!result.message.empty()) err << result.MessageWithSubject() << '\n';
        Fail(saved);
        return;
    }
    savedPath = project.filePath;
    if (output.empty() && project.filePath != before && !json)
        out << "saved as " << project.filePath << '\n';
    // What was done is saved; a warning (a skipped image, a blank page instead) is said in
    // full, as the editor's box says it, and still ends the run with its status.
    if (!result.message.empty()) err << result.MessageWithSubject() << '\n';
    exitCode = std::max(exitCode, ExitCodeFor(result));
}

CLI::Option* AddColourOption(CLI::App* command, const std::string& name, Colour* colour,
                             const std::string& description) {
    return command
        ->add_option_function<std::string>(
            name,
            [colour](const std::string& text) {
                const unsigned long rgb = std::stoul(text, nullptr, 16);
                *colour = MakeColour(static_cast<uint8_t>(rgb >> 16),
                                     static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb));
            },
            description)
        ->type_name("RRGGBB")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                if (text.size() != 6 ||
                    text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                    return "a colour is six hex digits RRGGBB, not '" + text + "'";
                return {};
            },
            "RRGGBB"));
}

CLI::Option* AddOutputOption(CLI::App* command, std::string* output) {
    // An empty OUT would silently mean "no -o" and save over FILE.
    const CLI::Validator notEmpty(
        [](std::string& value) { return value.empty() ? std::string("OUT is empty") : ""; }, "",
        "not empty");
    return command
        ->add_option("-o,--output", *output,
                     "Write the result to OUT (Save As) and leave FILE untouched")
        ->check(notEmpty);
}

CLI::Option* AddJsonOption(CLI::App* command, Cli& cli) {
    return command->add_flag_callback(
        "--json", [&cli] { cli.json = true; },
        "Print one JSON document (names in lower case with underscores, numbers from 1)");
}

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           bool progressOnTerminal) {
    CLI::App app{
        "pelmora-cli: the Pelmora texture editor's operations for scripts.\n"
        "Page and texture numbers are 1-based; colours are RRGGBB hex.",
        "pelmora-cli"};
    app.set_version_flag("--version", "pelmora-cli " PELMORA_VERSION);
    app.require_subcommand(1, 1);
    app.fallthrough(false);
    const std::string dashHint = std::string("A ") + kDashRule;
    app.footer(dashHint);
    Cli cli(out, err, progressOnTerminal);
    AddFileCommands(app, cli);
    AddEditCommands(app, cli);
    AddRecordsCommands(app, cli);
    AddExportCommands(app, cli);
    AddUpdateCommands(app, cli);
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
        command->footer(dashHint);
        GuardValues(command);
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitOk;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return kExitOk;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << '\n';
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        // A subcommand's --help is reported through the same exception type.
        if (e.get_exit_code() == 0) {
            for (const CLI::App* sub : app.get_subcommands()) out << sub->help();
            if (app.get_subcommands().empty()) out << app.help();
            return kExitOk;
        }
        err << "pelmora-cli: " << UsageMessage(app, e) << '\n';
        err << "Run 'pelmora-cli --help' for usage.\n";
        return kExitUsage;
    }
    return cli.exitCode;
}

}  // namespace pelmora::cli
