#include "cli/cli_app.h"

#include <cstdio>
#include <iostream>

#include "store/paths.h"
#include "wad/wad_reader.h"
#include "wad/wad_writer.h"

namespace pelmora::cli {

bool Cli::Open(Project& project, const std::string& file) {
    const OpResult opened = OpenTextureFile(project, file);
    if (!opened.ok) {
        Fail(opened.message == kNotAWadMessage ? opened.message + " " + file : opened.message);
        return false;
    }
    return true;
}

void Cli::Fail(const std::string& message) {
    err << message << '\n';
    exitCode = kExitFailed;
}

void Cli::Modify(const std::string& file, const std::string& output,
                 const std::function<OpResult(Project&)>& op) {
    Project project;
    if (!Open(project, file)) return;
    const OpResult result = op(project);
    if (!result.ok && !result.changed) {
        Fail(result.message);
        return;
    }
    const std::string before = project.filePath;
    const OpResult saved = output.empty() ? SaveProject(project) : SaveProjectAs(project, output);
    if (!saved.ok) {
        if (!result.message.empty()) err << result.message << '\n';
        Fail(saved.message);
        return;
    }
    if (output.empty() && project.filePath != before)
        out << "saved as " << project.filePath << '\n';
    if (!result.message.empty()) {
        err << result.message << '\n';
        if (!result.ok) exitCode = kExitFailed;
    }
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
    return command->add_option("-o,--output", *output,
                               "Write the result to OUT (Save As) and leave FILE untouched");
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
    Cli cli(out, err, progressOnTerminal);
    AddFileCommands(app, cli);
    AddEditCommands(app, cli);
    AddRecordsCommands(app, cli);
    AddExportCommands(app, cli);
    AddUpdateCommands(app, cli);
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
        err << "pelmora-cli: " << e.what() << '\n';
        err << "Run 'pelmora-cli --help' for usage.\n";
        return kExitUsage;
    }
    return cli.exitCode;
}

}  // namespace pelmora::cli
