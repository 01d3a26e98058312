#include <cctype>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "export/bulk_export.h"

namespace pelmora::cli {

namespace {

// The answers that export-pages and export-textures share.
struct ExportArgs {
    std::string file;
    std::string folder;
    std::string format = "bmp";
    int quality = 100;
    bool html = false;
    std::optional<int> page;
    GallerySettings gallery;
};

std::string Lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// --format takes a format's name or the extension it is written with: "tiff" or "tif".
std::vector<std::string> FormatWords() {
    std::vector<std::string> words;
    for (const ImageFormatInfo& format : kExportFormats) {
        words.push_back(Lowered(format.label));
        if (words.back() != format.extension) words.push_back(format.extension);
    }
    return words;
}

CLI::Option* AddQualityOption(CLI::App* command, int* quality) {
    return command->add_option("--quality", *quality, "JPEG quality 0 to 100 (default 100)")
        ->type_name("Q")
        ->check(WholeNumber(0, 100));
}

void AddGalleryOptions(CLI::App* command, ExportArgs& args, CLI::Option* html) {
    GallerySettings& g = args.gallery;
    command->add_option("--columns", g.columns, "Gallery: images per row (default 4)")
        ->type_name("N")
        ->check(WholeNumber())
        ->needs(html);
    command->add_option("--border", g.borderSize, "Gallery: border size (default 0)")
        ->type_name("N")
        ->check(WholeNumber())
        ->needs(html);
    command->add_option("--padding", g.cellPadding, "Gallery: cell padding (default 2)")
        ->type_name("N")
        ->check(WholeNumber())
        ->needs(html);
    command->add_option("--spacing", g.cellSpacing, "Gallery: cell spacing (default 2)")
        ->type_name("N")
        ->check(WholeNumber())
        ->needs(html);
    auto* width =
        command
            ->add_option_function<std::string>(
                "--width",
                [&g](const std::string& text) {
                    g.specifyWidth = true;
                    g.widthInPercent = !text.empty() && text.back() == '%';
                    g.width = std::stoi(g.widthInPercent ? text.substr(0, text.size() - 1) : text);
                },
                "Gallery: table width in pixels, or N% in percent (default 600)")
            ->type_name("N|N%")
            ->check(CLI::Validator(
                [](std::string& text) -> std::string {
                    static const std::regex pattern("-?[0-9]{1,9}%?");
                    if (!std::regex_match(text, pattern))
                        return "a width is a whole number, optionally followed by %, not '" + text +
                               "'";
                    return {};
                },
                "N|N%"))
            ->needs(html);
    command
        ->add_flag_callback(
            "--no-width", [&g] { g.specifyWidth = false; }, "Gallery: leave the table width open")
        ->excludes(width)
        ->needs(html);
    AddColourOption(command, "--table-color", &g.tableColour,
                    "Gallery: table background (default 000000)")
        ->needs(html);
    AddColourOption(command, "--cell-color", &g.cellColour,
                    "Gallery: cell background (default 808080)")
        ->needs(html);
    command->add_option("--align", g.cellAlignment, "Gallery: cell alignment (default center)")
        ->type_name("left|center|right")
        ->transform(CLI::Validator(
            [](std::string& text) -> std::string {
                // The words, in any case, or the numbers they stand for (0, 1, 2).
                static const std::map<std::string, std::string> numbers{
                    {"left", "0"}, {"center", "1"}, {"right", "2"},
                    {"0", "0"},    {"1", "1"},      {"2", "2"}};
                std::string word = text;
                for (char& c : word)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                const auto found = numbers.find(word);
                if (found == numbers.end()) return text + " not in {left,center,right}";
                text = found->second;
                return {};
            },
            ""))
        ->needs(html);
}

// Progress on stderr for a terminal: one line per stage, rewritten in place, ended when the
// stage changes or the export is over.
class TerminalProgress {
public:
    explicit TerminalProgress(Cli& cli) : cli_(cli) {}
    ~TerminalProgress() {
        if (!stage_.empty()) cli_.err << '\n';
    }
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    ExportProgress Callback() {
        if (!cli_.progressOnTerminal) return {};
        return [this](const std::string& text, int done, int total) {
            if (!stage_.empty() && text != stage_) cli_.err << '\n';
            stage_ = text;
            cli_.err << '\r' << text << ' ' << done << '/' << total;
            cli_.err.flush();
        };
    }

private:
    Cli& cli_;
    std::string stage_;
};

CLI::App* AddBulkCommand(CLI::App& app, const std::string& name, const std::string& description,
                         const std::shared_ptr<ExportArgs>& args, CLI::Option** html) {
    auto* command = app.add_subcommand(name, description);
    command->add_option("FILE", args->file, "WAD or texture-only file")->required();
    command->add_option("DIR", args->folder, "folder that receives the images")->required();
    command
        ->add_option("--format", args->format,
                     Lowered(LabelList(kExportFormats)) + " (default bmp)")
        ->type_name("F")
        ->check(CLI::IsMember(FormatWords(), CLI::ignore_case));
    AddQualityOption(command, &args->quality);
    *html = command->add_flag("--html", args->html,
                              "Also write the HTML gallery page (with --format jpeg; ignored "
                              "otherwise)");
    AddGalleryOptions(command, *args, *html);
    return command;
}

// As in the editor, the gallery comes with a JPEG export of all pages or all textures; where
// it does not apply, --html is ignored, and a note says so.
ExportOptions OptionsFrom(Cli& cli, const ExportArgs& args) {
    ExportOptions options;
    options.folder = args.folder;
    options.format = FormatFromExtension(args.format);
    options.jpegQuality = args.quality;
    options.saveHtmlPage = args.html && !args.page && options.format == ImageFormat::Jpeg;
    options.gallery = args.gallery;
    if (args.html && !options.saveHtmlPage) {
        cli.err << (args.page ? "Note: --html is ignored with --page; no gallery page is written.\n"
                              : "Note: --html is ignored; the gallery page comes with --format "
                                "jpeg only.\n");
    }
    return options;
}

}  // namespace

void AddExportCommands(CLI::App& app, Cli& cli) {
    auto pagesArgs = std::make_shared<ExportArgs>();
    CLI::Option* pagesHtml = nullptr;
    auto* pages = AddBulkCommand(app, "export-pages", "Write every page as Page<n> image files",
                                 pagesArgs, &pagesHtml);
    pages->callback([&cli, pagesArgs] {
        Project project;
        if (!cli.Open(project, pagesArgs->file)) return;
        const ExportOptions options = OptionsFrom(cli, *pagesArgs);
        Outcome result;
        {
            TerminalProgress progress(cli);
            result = ExportAllPages(project, options, progress.Callback());
        }
        cli.Report(result);
    });

    auto texturesArgs = std::make_shared<ExportArgs>();
    CLI::Option* texturesHtml = nullptr;
    auto* textures = AddBulkCommand(app, "export-textures",
                                    "Write every texture (or those of one page) as Texture<n> "
                                    "image files",
                                    texturesArgs, &texturesHtml);
    textures
        ->add_option_function<int>(
            "--page", [texturesArgs](const int& page) { texturesArgs->page = page; },
            "Only the textures on page P (--html is ignored then)")
        ->type_name("P")
        ->check(WholeNumber(1, 65536));
    textures->callback([&cli, texturesArgs] {
        Project project;
        if (!cli.Open(project, texturesArgs->file)) return;
        const ExportOptions options = OptionsFrom(cli, *texturesArgs);
        Outcome result;
        {
            TerminalProgress progress(cli);
            result = texturesArgs->page ? ExportPageTextures(project, *texturesArgs->page - 1,
                                                             options, progress.Callback())
                                        : ExportAllTextures(project, options, progress.Callback());
        }
        cli.Report(result);
    });

    auto file = std::make_shared<std::string>();
    auto out = std::make_shared<std::string>();
    auto quality = std::make_shared<int>(100);
    auto* single =
        app.add_subcommand("export-single", "Write all pages as one image, page 1 on top");
    single->add_option("FILE", *file, "WAD or texture-only file")->required();
    single
        ->add_option("OUT", *out,
                     "the image to write; its extension chooses the format (" +
                         ExtensionList(kExportFormats) + ")")
        ->required()
        ->check(CLI::Validator(
            [](std::string& path) -> std::string {
                const ImageFormat format = FormatFromExtension(path);
                if (format == ImageFormat::Unknown || format == ImageFormat::Raw)
                    return "'" + path + "' does not end in an image format Pelmora exports";
                return {};
            },
            "IMAGE"));
    AddQualityOption(single, quality.get());
    single->callback([&cli, file, out, quality] {
        Project project;
        if (!cli.Open(project, *file)) return;
        cli.Report(ExportSingleImage(project, *out, *quality));
    });
}

}  // namespace pelmora::cli
