#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>

#include "base/image_io.h"
#include "base/json_text.h"
#include "base/paths.h"
#include "cli/cli_app.h"
#include "edit/add_pieces.h"
#include "edit/deleting.h"
#include "edit/image_folders.h"
#include "edit/page_creation.h"
#include "edit/record_editing.h"
#include "edit/single_image.h"
#include "edit/time_remaining.h"
#include "records/records_json.h"

namespace pelmora::cli {

namespace {

using Clock = std::chrono::steady_clock;

std::string EtrText(Clock::time_point start, int percent) {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count();
    return TimeRemainingText(static_cast<uint64_t>(elapsed), percent, 100);
}

// What the editor says of an image it could not load, naming the file on one line.
std::string LoadFailureLine(const std::string& message, const std::string& path) {
    return Outcome::Refused(path, message).SubjectAfterHeadline().MessageWithSubject();
}

CLI::App* FileCommand(CLI::App& app, const std::string& name, const std::string& description,
                      std::string* file, std::string* output) {
    auto* command = app.add_subcommand(name, description);
    command->add_option("FILE", *file, "WAD or texture-only file")->required();
    if (output != nullptr) AddOutputOption(command, output);
    return command;
}

// The placed pieces and the skipped files of one add-pieces run, for --json.
struct AddedPieces {
    Json placed = Json::array();
    Json skipped = Json::array();
};

void AddAddPieces(CLI::App& app, Cli& cli) {
    struct Args {
        std::string file, output, sort = "name";
        Colour colour = 0;
        std::vector<std::string> images;
    };
    auto args = std::make_shared<Args>();
    auto* command = FileCommand(app, "add-pieces",
                                "Add image files as texture pieces, placed first-fit on the pages",
                                &args->file, &args->output);
    command
        ->add_option("IMAGE", args->images,
                     "image files (bmp, pcx, png, tga, tif, jpg), or folders: every such image "
                     "inside, sub-folders too")
        ->required();
    command->add_option("--sort", args->sort, "Order of adding (default name)")
        ->check(CLI::IsMember({"name", "size-asc", "size-desc"}));
    AddColourOption(command, "--color", &args->colour,
                    "Colour of the pages that adding creates (default 000000)");
    AddJsonOption(command, cli);
    command->callback([&cli, args] {
        bool anyFailed = false;
        AddedPieces added;
        const ImageFileList list = ExpandImageFolders(args->images);
        for (const std::string& why : list.unreadable) cli.err << why << '\n';
        if (list.folders > 0 && cli.progressOnTerminal) {
            cli.err << list.foundInFolders << (list.foundInFolders == 1 ? " image" : " images")
                    << " found in " << list.folders
                    << (list.folders == 1 ? " folder\n" : " folders\n");
        }
        cli.Modify(args->file, args->output, [&](Project& project) {
            project.newPageColour = args->colour;
            const FileSortOrder order = args->sort == "size-asc"    ? FileSortOrder::SizeAscending
                                        : args->sort == "size-desc" ? FileSortOrder::SizeDescending
                                                                    : FileSortOrder::Name;
            const auto start = Clock::now();
            AddPiecesCallbacks callbacks;
            callbacks.piecePlaced = [&](int index, const std::string& path) {
                const TextureRecord& r = project.records[index];
                if (cli.json) {
                    Json piece = RecordJson(index, r);
                    piece["source"] = path;
                    added.placed.push_back(std::move(piece));
                    return;
                }
                char line[128];
                std::snprintf(line, sizeof line, "Texture %d: page %d at %d,%d size %dx%d <- ",
                              index + 1, r.Page + 1, r.X, r.Y, r.Width(), r.Height());
                // On a terminal both streams share the screen: take the progress line away
                // first, or the placement lands on it; the next progress call redraws it.
                if (cli.progressOnTerminal) cli.err << "\r\033[K" << std::flush;
                cli.out << line << path << '\n';
                if (cli.progressOnTerminal) cli.out << std::flush;
            };
            callbacks.fileFailed = [&](const std::string& message, const std::string& path) {
                if (cli.progressOnTerminal) cli.err << "\r\033[K";
                cli.err << LoadFailureLine(message, path) << '\n';
            };
            if (cli.progressOnTerminal) {
                callbacks.progress = [&](int i, int n, int percent, const std::string& name) {
                    cli.err << "\r\033[K"
                            << AddingTextureText(i, n, percent, EtrText(start, percent), name)
                            << (i == n ? "\n" : "") << std::flush;
                };
            }
            const std::atomic<bool> stop{false};
            const AddPiecesResult result =
                AddPiecesFromFiles(project, list.files, order, stop, callbacks);
            cli.out << std::flush;
            for (size_t k = 0; k < result.failedFiles.size(); ++k) {
                added.skipped.push_back(
                    Json{{"source", result.failedFiles[k]}, {"reason", result.failureReasons[k]}});
            }
            anyFailed = !result.failedFiles.empty() || !list.unreadable.empty();
            return Outcome::Done(result.placed > 0 || result.pagesAdded > 0);
        });
        if (cli.json && !cli.savedPath.empty()) {
            cli.out << JsonText(Json{{"path", cli.savedPath},
                                     {"placed", std::move(added.placed)},
                                     {"skipped", std::move(added.skipped)}})
                    << '\n';
        }
        // Each file that failed was reported as it happened; what was added is saved, and
        // the status still tells a script that not everything went in.
        if (anyFailed) cli.exitCode = kExitFailed;
    });
}

void AddAddPages(CLI::App& app, Cli& cli) {
    struct Args {
        std::string file, output;
        NewPageOptions options;
        std::optional<int> blank;
        std::string image, longImage;
    };
    auto args = std::make_shared<Args>();
    auto* command =
        FileCommand(app, "add-pages", "Add blank pages, a page from an image or a long image",
                    &args->file, &args->output);
    auto* kind = command->add_option_group("kind", "What pages to add (one is required)");
    kind->add_option_function<int>(
            "--blank", [args](const int& n) { args->blank = n; }, "N blank pages (1 to 10)")
        ->type_name("N")
        ->check(WholeNumber(1, kMaxNewPagesAtOnce));
    auto* image =
        kind->add_option("--image", args->image, "One page made from IMG")->type_name("IMG");
    kind->add_option("--long-image", args->longImage,
                     "As many pages as it takes to hold IMG in 256-row bands")
        ->type_name("IMG");
    kind->require_option(1);
    command
        ->add_flag("--keep-aspect", args->options.keepAspect,
                   "With --image: fit the image inside the page instead of stretching it")
        ->needs(image);
    AddColourOption(command, "--color", &args->options.colour,
                    "Background of the new pages; becomes the new page colour (default 000000)");
    command->callback([&cli, args] {
        NewPageOptions options = args->options;
        if (args->blank) {
            options.kind = NewPageKind::Blank;
            options.count = *args->blank;
        } else if (!args->image.empty()) {
            options.kind = NewPageKind::FromImage;
            options.imagePath = args->image;
        } else {
            options.kind = NewPageKind::FromLongImage;
            options.imagePath = args->longImage;
        }
        cli.Modify(args->file, args->output,
                   [options](Project& project) { return AddNewPages(project, options); });
    });
}

void AddAddRecord(CLI::App& app, Cli& cli) {
    struct Args {
        std::string file, output;
        int page = 0, flipX = -1, flipY = -1;
        RecordFields fields;
    };
    auto args = std::make_shared<Args>();
    auto* command = FileCommand(app, "add-record",
                                "Add one texture record (positions modulo 256, sizes cut at the "
                                "page edge, a size of 0 means 256)",
                                &args->file, &args->output);
    const auto number = WholeNumber(0);
    command->add_option("--page", args->page, "Page, from 1")
        ->required()
        ->type_name("P")
        ->check(WholeNumber());
    command->add_option("--x", args->fields.x, "Left position")->required()->check(number);
    command->add_option("--y", args->fields.y, "Top position")->required()->check(number);
    command->add_option("--width", args->fields.width, "Width")->required()->check(number);
    command->add_option("--height", args->fields.height, "Height")->required()->check(number);
    command->add_option("--flip-x", args->flipX, "FlipX, -1 (default) or 0")
        ->check(WholeNumber(-1, 0));
    command->add_option("--flip-y", args->flipY, "FlipY, -1 (default) or 0")
        ->check(WholeNumber(-1, 0));
    command->callback([&cli, args] {
        cli.Modify(args->file, args->output, [args](Project& project) {
            RecordFields fields = args->fields;
            fields.page = IndexOf(args->page);
            fields.flipX = static_cast<int8_t>(args->flipX);
            fields.flipY = static_cast<int8_t>(args->flipY);
            return AddTextureRecord(project, fields);
        });
    });
}

void AddAddGrid(CLI::App& app, Cli& cli) {
    struct Args {
        std::string file, output;
        int page = 0, across = 64, down = 64;
    };
    auto args = std::make_shared<Args>();
    auto* command = FileCommand(app, "add-grid", "Add one record for every grid cell of a page",
                                &args->file, &args->output);
    command->add_option("--page", args->page, "Page, from 1")
        ->required()
        ->type_name("P")
        ->check(WholeNumber());
    command->add_option("--across", args->across, "Cell width in pixels")
        ->required()
        ->check(WholeNumber(1));
    command->add_option("--down", args->down, "Cell height in pixels")
        ->required()
        ->check(WholeNumber(1));
    command->callback([&cli, args] {
        cli.Modify(args->file, args->output, [args](Project& project) {
            return AddRecordsFromGrid(project, IndexOf(args->page), args->across, args->down);
        });
    });
}

void AddDeleteCommands(CLI::App& app, Cli& cli) {
    struct Args {
        std::string file, output;
        int number = 0;
        Colour colour = 0;
    };
    auto page = std::make_shared<Args>();
    auto* deletePage =
        FileCommand(app, "delete-page", "Delete page P and its records (page 1 is cleared instead)",
                    &page->file, &page->output);
    deletePage->add_option("P", page->number, "Page, from 1")->required()->check(WholeNumber());
    AddColourOption(deletePage, "--color", &page->colour,
                    "Colour page 1 is cleared to (default 000000)");
    deletePage->callback([&cli, page] {
        cli.Modify(page->file, page->output, [page](Project& project) {
            project.newPageColour = page->colour;
            return DeletePage(project, IndexOf(page->number));
        });
    });

    auto piece = std::make_shared<Args>();
    auto* deletePiece = FileCommand(
        app, "delete-piece", "Paint texture T's rectangle in the page colour and delete its record",
        &piece->file, &piece->output);
    deletePiece->add_option("T", piece->number, "Texture, from 2")
        ->required()
        ->check(WholeNumber());
    AddColourOption(deletePiece, "--color", &piece->colour,
                    "Colour the rectangle is painted (default 000000)");
    deletePiece->callback([&cli, piece] {
        cli.Modify(piece->file, piece->output, [piece](Project& project) {
            project.newPageColour = piece->colour;
            return DeletePiece(project, IndexOf(piece->number));
        });
    });

    auto record = std::make_shared<Args>();
    auto* deleteRecord =
        FileCommand(app, "delete-record", "Delete texture T's record (the page is left as it is)",
                    &record->file, &record->output);
    deleteRecord->add_option("T", record->number, "Texture, from 2")
        ->required()
        ->check(WholeNumber());
    deleteRecord->callback([&cli, record] {
        cli.Modify(record->file, record->output, [record](Project& project) {
            return DeleteRecord(project, IndexOf(record->number));
        });
    });
}

void AddImportCommands(CLI::App& app, Cli& cli) {
    struct Args {
        std::string file, output, image;
        int number = 0;
    };
    auto page = std::make_shared<Args>();
    auto* importPage =
        FileCommand(app, "import-page", "Replace page P by IMAGE stretched to 256 x 256",
                    &page->file, &page->output);
    importPage->add_option("P", page->number, "Page, from 1")->required()->check(WholeNumber());
    importPage->add_option("IMAGE", page->image, "image file")->required();
    importPage->callback([&cli, page] {
        cli.Modify(page->file, page->output, [page](Project& project) {
            return ImportPage(project, IndexOf(page->number), page->image);
        });
    });

    auto piece = std::make_shared<Args>();
    auto* importPiece =
        FileCommand(app, "import-piece",
                    "Draw IMAGE, stretched to texture T's size, over T's rectangle on its page",
                    &piece->file, &piece->output);
    importPiece->add_option("T", piece->number, "Texture, from 1")
        ->required()
        ->check(WholeNumber());
    importPiece->add_option("IMAGE", piece->image, "image file")->required();
    importPiece->callback([&cli, piece] {
        cli.Modify(piece->file, piece->output, [piece](Project& project) {
            return ImportPiece(project, IndexOf(piece->number), piece->image);
        });
    });
}

void AddSingleExportCommands(CLI::App& app, Cli& cli) {
    struct Args {
        std::string file, out;
        int number = 0;
        int quality = 100;
    };
    const CLI::Validator imageName(
        [](std::string& path) -> std::string {
            if (FormatFromExtension(ExtensionOf(path)) != ImageFormat::Unknown) return {};
            return "OUT must end in " + ExtensionList(ImageFormats(), ".", ", ", " or ") + ": " +
                   path;
        },
        "IMAGE FILE");
    const auto add = [&](const std::string& name, const std::string& description,
                         const char* numberHelp, bool isPage) {
        auto args = std::make_shared<Args>();
        auto* command = FileCommand(app, name, description, &args->file, nullptr);
        command->add_option(isPage ? "P" : "T", args->number, numberHelp)
            ->required()
            ->check(WholeNumber());
        command->add_option("OUT", args->out, "image file to write")->required()->check(imageName);
        command->add_option("--quality", args->quality, "JPEG quality 0 to 100 (default 100)")
            ->check(WholeNumber(0, 100));
        command->callback([&cli, args, isPage] {
            Project project;
            if (!cli.Open(project, args->file)) return;
            const int index = IndexOf(args->number);
            cli.Report(isPage ? ExportPage(project, index, args->out, args->quality)
                              : ExportPiece(project, index, args->out, args->quality));
        });
    };
    add("export-page", "Write page P to an image file (format by OUT's extension, or raw)",
        "Page, from 1", true);
    add("export-piece", "Write texture T's rectangle to an image file (format by OUT's extension)",
        "Texture, from 1", false);
}

}  // namespace

void AddEditCommands(CLI::App& app, Cli& cli) {
    AddAddPieces(app, cli);
    AddAddPages(app, cli);
    AddAddRecord(app, cli);
    AddAddGrid(app, cli);
    AddDeleteCommands(app, cli);
    AddImportCommands(app, cli);
    AddSingleExportCommands(app, cli);
}

}  // namespace pelmora::cli
