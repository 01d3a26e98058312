#include <cstdio>
#include <sstream>

#include "cli/cli_app.h"
#include "store/file_util.h"
#include "wad/wad_reader.h"
#include "wad/wad_writer.h"

namespace pelmora::cli {

namespace {

// Length of the well-formed UTF-8 sequence at text[i], or 0 when the bytes there are not one
// (a stray continuation byte, a cut sequence, an overlong form, a surrogate, past U+10FFFF).
size_t Utf8SequenceLength(const std::string& text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t length;
    unsigned min;
    unsigned code;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, min = 0x80, code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, min = 0x800, code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, min = 0x10000, code = lead & 0x07u;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0u) != 0x80u) return 0;
        code = code << 6 | (byte(i + k) & 0x3Fu);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

// A JSON string. File names are bytes, not text: a byte that is not part of well-formed
// UTF-8 becomes U+FFFD, so that strict JSON readers accept the document.
std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            out += "\\ufffd";
            ++i;
            continue;
        }
        if (length > 1) {
            out.append(text, i, length);
            i += length;
            continue;
        }
        ++i;
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string VersionText(const Project& project) {
    return project.IsTextureOnly() ? "PELM" : std::to_string(project.version);
}

}  // namespace

void AddFileCommands(CLI::App& app, Cli& cli) {
    auto file = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();

    auto* info = app.add_subcommand("info", "Print what FILE holds as one JSON object");
    info->add_option("FILE", *file, "WAD or texture-only file")->required();
    info->callback([&cli, file] {
        Project project;
        if (!cli.Open(project, *file)) return;
        cli.out << "{\"path\": " << JsonString(*file)
                << ", \"version\": " << JsonString(VersionText(project))
                << ", \"records\": " << project.RecordCount()
                << ", \"pages\": " << project.PageCount()
                << ", \"rest_bytes\": " << project.restBytes << "}\n";
    });

    auto* records = app.add_subcommand("records", "Print FILE's texture records, one a line");
    records->add_option("FILE", *file, "WAD or texture-only file")->required();
    records->callback([&cli, file] {
        Project project;
        if (!cli.Open(project, *file)) return;
        for (const TextureRecord& r : project.records) cli.out << RecordText(r) << '\n';
    });

    auto* save = app.add_subcommand("save", "Open FILE and save it again");
    save->add_option("FILE", *file, "WAD or texture-only file")->required();
    AddOutputOption(save, output.get());
    save->callback([&cli, file, output] {
        cli.Modify(*file, *output, [](Project&) { return OpResult::Done(false); });
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
            cli.Fail("\"" + *file + "\" exists already; use --force to replace it.");
            return;
        }
        Project project;
        project.newPageColour = *colour;
        NewProject(project, *file);
        const OpResult saved = SaveProject(project);
        if (!saved.ok) {
            cli.Fail(saved.message);
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
        cli.Modify(*file, *output, [other](Project& project) {
            OpResult result = ImportTextureFile(project, *other);
            if (result.message == kNotAWadMessage) result.message += " " + *other;
            return result;
        });
    });
}

}  // namespace pelmora::cli
