#include <sys/stat.h>

#include <optional>

#include "base/json_text.h"
#include "cli/cli_app.h"
#include "records/duplicate_check.h"
#include "records/record_sort.h"
#include "records/records_file.h"
#include "records/records_json.h"

namespace pelmora::cli {

namespace {

void AddExportRecords(CLI::App& app, Cli& cli) {
    auto file = std::make_shared<std::string>();
    auto out = std::make_shared<std::string>();
    auto* command =
        app.add_subcommand("export-records", "Write FILE's texture records to a records file");
    command->add_option("FILE", *file, "WAD or texture-only file")->required();
    command->add_option("OUT", *out, "the records file to write (.rec, or .json for JSON)")
        ->required();
    command->callback([&cli, file, out] {
        Project project;
        if (!cli.Open(project, *file)) return;
        struct stat st {};
        if (::stat(out->c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            cli.Fail(Outcome::Refused(
                *out, "Cannot write \"" + *out + "\": it is a folder, not a records file."));
            return;
        }
        cli.Report(ExportRecords(project, *out));
    });
}

void AddImportRecords(CLI::App& app, Cli& cli) {
    auto file = std::make_shared<std::string>();
    auto in = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();
    auto append = std::make_shared<bool>(false);
    auto overwrite = std::make_shared<bool>(false);
    auto shift = std::make_shared<std::optional<int>>();
    auto* command = app.add_subcommand(
        "import-records", "Replace FILE's texture records by, or append, those of a records file");
    command->add_option("FILE", *file, "WAD or texture-only file")->required();
    command->add_option("IN", *in, "the records file to read (.rec, or .json for JSON)")
        ->required();
    auto* mode = command->add_option_group("mode", "How to import (one is required)");
    mode->add_flag("--overwrite", *overwrite, "Replace all records by the file's");
    auto* appendFlag =
        mode->add_flag("--append", *append, "Add the file's records (all but its first)");
    mode->require_option(1);
    command
        ->add_option_function<int>(
            "--shift", [shift](const int& value) { *shift = value; },
            "With --append: raise every appended page by S (default: FILE's page count)")
        ->type_name("S")
        ->check(WholeNumber())
        ->needs(appendFlag);
    AddOutputOption(command, output.get());
    command->callback([&cli, file, in, output, append, shift, overwrite] {
        cli.Modify(*file, *output, [&](Project& project) {
            return *append ? ImportRecords(project, *in, RecordsImportMode::Append,
                                           shift->value_or(project.PageCount()))
                           : ImportRecords(project, *in, RecordsImportMode::Overwrite, 0);
        });
    });
}

void AddSort(CLI::App& app, Cli& cli) {
    auto file = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();
    auto descending = std::make_shared<bool>(false);
    auto* command = app.add_subcommand("sort", "Sort the records by page (texture 1 stays first)");
    command->add_option("FILE", *file, "WAD or texture-only file")->required();
    command->add_flag("--descending", *descending, "Highest page first");
    AddOutputOption(command, output.get());
    command->callback([&cli, file, output, descending] {
        cli.Modify(*file, *output, [descending](Project& project) {
            return SortRecordsByPage(project,
                                     *descending ? SortOrder::Descending : SortOrder::Ascending);
        });
    });
}

// Each reported copy with the record it repeats; the numbers are those before any removal.
std::string DuplicatesJson(const std::string& file, const Project& project,
                           const DuplicateCheck& found, bool removed) {
    Json pairs = Json::array();
    for (size_t k = 0; k < found.removal.size(); ++k) {
        const int copy = found.removal[k];
        Json pair = RecordJson(copy, project.records[copy]);
        pair["same_as"] = found.originals[k] + 1;
        pairs.push_back(std::move(pair));
    }
    return JsonText(Json{{"path", file},
                         {"duplicates", found.count},
                         {"removed", removed && found.count > 0},
                         {"copies", std::move(pairs)}}) +
           "\n";
}

void AddCheckDuplicates(CLI::App& app, Cli& cli) {
    auto file = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();
    auto report = std::make_shared<std::string>();
    auto remove = std::make_shared<bool>(false);
    auto* command = app.add_subcommand("check-duplicates",
                                       "Report records that are exact copies of an earlier record");
    command->add_option("FILE", *file, "WAD or texture-only file")->required();
    command->add_option("--report", *report, "Also write the report (CR LF) to PATH")
        ->type_name("PATH");
    auto* removeFlag =
        command->add_flag("--remove", *remove, "Remove the reported copies and save FILE");
    AddOutputOption(command, output.get())->needs(removeFlag);
    AddJsonOption(command, cli);
    command->callback([&cli, file, output, report, remove] {
        // Reports, and fails without touching anything when the report cannot be written.
        auto check = [&cli, report, file, remove](const Project& project, DuplicateCheck& found) {
            found = FindDuplicates(project.records);
            cli.out << (cli.json ? DuplicatesJson(*file, project, found, *remove)
                                 : DuplicateReport(found));
            if (report->empty()) return Outcome::Done(false);
            return WriteDuplicateReport(found, *report);
        };
        if (!*remove) {
            Project project;
            if (!cli.Open(project, *file)) return;
            DuplicateCheck found;
            cli.Report(check(project, found));
            return;
        }
        cli.Modify(*file, *output, [&](Project& project) {
            DuplicateCheck found;
            const Outcome written = check(project, found);
            if (!written.IsDone()) return written;
            return RemoveDuplicates(project, found);
        });
    });
}

}  // namespace

void AddRecordsCommands(CLI::App& app, Cli& cli) {
    AddExportRecords(app, cli);
    AddImportRecords(app, cli);
    AddSort(app, cli);
    AddCheckDuplicates(app, cli);
}

}  // namespace pelmora::cli
