#include <cstdio>
#include <sstream>

#include "base/file_util.h"
#include "base/json_text.h"
#include "cli/cli_app.h"
#include "records/records_json.h"
#include "wad/wad_open.h"
#include "wad/wad_writer.h"

namespace pelmora::cli {

namespace {

std::string VersionText(const Project& project) {
    return project.IsTextureOnly() ? "PELM" : std::to_string(project.version);
}

}  // namespace

void AddFileCommands(CLI::App& app, Cli& cli) {
    auto file = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();

    auto* info = app.add_subcommand("info", "Print what FILE holds as one JSON object");
    info->add_option("FILE", *file, "WAD or texture-only file")->required();
    AddJsonOption(info, cli);  // accepted for symmetry: info always prints JSON
    info->callback([&cli, file] {
        Project project;
        if (!cli.Open(project, *file)) return;
        cli.out << JsonText(Json{{"path", *file},
                                 {"version", VersionText(project)},
                                 {"records", project.RecordCount()},
                                 {"pages", project.PageCount()},
                                 {"rest_bytes", project.restBytes}})
                << '\n';
    });

    auto* records = app.add_subcommand("records", "Print FILE's texture records, one a line");
    records->add_option("FILE", *file, "WAD or texture-only file")->required();
    AddJsonOption(records, cli);
    records->callback([&cli, file] {
        Project project;
        if (!cli.Open(project, *file)) return;
        if (cli.json) {
            Json list = Json::array();
            for (int i = 0; i < project.RecordCount(); ++i)
                list.push_back(RecordJson(i, project.records[i]));
            cli.out << JsonText(Json{{"path", *file}, {"records", std::move(list)}}) << '\n';
            return;
        }
        for (const TextureRecord& r : project.records) cli.out << RecordText(r) << '\n';
    });

    auto* save = app.add_subcommand("save", "Open FILE and save it again");
    save->add_option("FILE", *file, "WAD or texture-only file")->required();
    AddOutputOption(save, output.get());
    save->callback([&cli, file, output] {
        cli.Modify(*file, *output, [](Project&) { return Outcome::Done(false); });
    });

    auto colour = std::make_shared<Colour>(0);
    auto force = std::make_shared<bool>(false);
    auto* create = app.add_subcommand(
        "new", "Create a texture-only file with one blank page and the reserved record");
    create->add_option("FILE", *file, "the new file (.plm)")->required();
    AddColourOption(create, "--color", colour.get(), "Colour of the blank page (default 000000)");
    create->add_flag("--force", *force, "Replace FILE if it exists");
    create->callback([&cli, file, colour, force] {
        if (!*force && FileExists(*file)) {
            cli.Fail(Outcome::Refused(
                *file, "\"" + *file + "\" exists already; use --force to replace it."));
            return;
        }
        Project project;
        project.newPageColour = *colour;
        NewProject(project, *file);
        const Outcome saved = SaveProject(project);
        if (!saved.IsDone()) {
            cli.Fail(saved);
            return;
        }
        if (project.filePath != *file) cli.out << "saved as " << project.filePath << '\n';
    });

    auto other = std::make_shared<std::string>();
    auto* merge = app.add_subcommand("merge", "Merge the pages and records of OTHER into FILE");
    merge->add_option("FILE", *file, "WAD or texture-only file to merge into")->required();
    merge->add_option("OTHER", *other, "WAD or texture-only file to take textures from")
        ->required();
    AddOutputOption(merge, output.get());
    merge->callback([&cli, file, other, output] {
        cli.Modify(*file, *output,
                   [other](Project& project) { return ImportTextureFile(project, *other); });
    });
}

}  // namespace pelmora::cli
