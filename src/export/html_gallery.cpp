#include "export/html_gallery.h"

#include <algorithm>
#include <cstdio>

#include "base/file_util.h"
#include "base/paths.h"

namespace pelmora {

namespace {

// Left open for whoever ships the program; the link then opens a mail with only a subject.
constexpr const char* kAuthorAddress = "";

const char* AlignmentWord(int alignment) {
    switch (alignment) {
        case static_cast<int>(CellAlignment::Left):
            return "LEFT";
        case static_cast<int>(CellAlignment::Right):
            return "RIGHT";
        default:
            return "CENTER";
    }
}

std::string Format(const char* format, auto... args) {
    char buffer[512];
    const int n = std::snprintf(buffer, sizeof buffer, format, args...);
    if (n < static_cast<int>(sizeof buffer)) return std::string(buffer, n > 0 ? n : 0);
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, args...);
    out.resize(static_cast<size_t>(n));
    return out;
}

// The length and code point of the UTF-8 sequence at text[i], or 0 when it is not one.
int DecodeUtf8(std::string_view text, size_t i, unsigned& codePoint) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int length;
    unsigned minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07u;
    } else {
        return 0;
    }
    if (i + static_cast<size_t>(length) > text.size()) return 0;
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0u) != 0x80u) return 0;
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x80) {
                    out += c;
                    break;
                }
                // The page declares ISO-8859-1, so bytes beyond ASCII cannot stand as they
                // are: a UTF-8 name becomes its code points, anything else is taken as
                // Latin-1.
                unsigned codePoint = 0;
                if (const int length = DecodeUtf8(text, i, codePoint); length > 0) {
                    out += Format("&#%u;", codePoint);
                    i += static_cast<size_t>(length);
                    continue;
                }
                out += Format("&#%u;", static_cast<unsigned>(static_cast<unsigned char>(c)));
        }
        ++i;
    }
    return out;
}

void WriteGalleryHtml(GalleryKind kind, const std::string& name, int count,
                      const GallerySettings& s, const std::string& extension,
                      const std::function<void(std::string_view)>& sink,
                      const ExportProgress& progress) {
    const bool pages = kind == GalleryKind::Pages;
    const std::string safeName = HtmlEscape(name);
    const char* align = AlignmentWord(s.cellAlignment);
    const unsigned cellR = RedOf(s.cellColour), cellG = GreenOf(s.cellColour),
                   cellB = BlueOf(s.cellColour);
    const unsigned tableR = RedOf(s.tableColour), tableG = GreenOf(s.tableColour),
                   tableB = BlueOf(s.tableColour);

    sink("<HTML>\r\n<HEAD>\r\n");
    sink("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-1\">\r\n");
    sink("<META NAME=\"GENERATOR\" CONTENT=\"Pelmora 1.0.6.6 by Brell\">\r\n");
    sink(pages ? "<TITLE>Texture Pages from - " : "<TITLE>Texture Pieces from - ");
    sink(safeName);
    sink("</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<H2 ALIGN=\"CENTER\">");
    sink(safeName);
    sink("</H2>\r\n");
    sink(Format("<P ALIGN=\"CENTER\">%d", count));
    sink(pages ? " pages</P>\r\n<HR>\r\n" : " textures</P>\r\n<HR>\r\n");
    sink("<DIV ALIGN=\"CENTER\"><CENTER>\r\n");

    if (!s.specifyWidth) {
        sink(
            Format("<TABLE CELLPADDING=\"%d\" CELLSPACING=\"%d\" BORDER=\"%d\" "
                   "BGCOLOR=\"#%02x%02x%02x\">\r\n",
                   s.cellPadding, s.cellSpacing, s.borderSize, tableR, tableG, tableB));
    } else if (!s.widthInPercent) {
        sink(
            Format("<TABLE WIDTH=\"%d\" CELLPADDING=\"%d\" CELLSPACING=\"%d\" BORDER=\"%d\" "
                   "BGCOLOR=\"#%02x%02x%02x\">\r\n",
                   s.width, s.cellPadding, s.cellSpacing, s.borderSize, tableR, tableG, tableB));
    } else {
        sink(Format(
            "<TABLE WIDTH=\"%d%s\" CELLPADDING=\"%d\" CELLSPACING=\"%d\" BORDER=\"%d\" "
            "BGCOLOR=\"#%02x%02x%02x\">\r\n",
            s.width, "%", s.cellPadding, s.cellSpacing, s.borderSize, tableR, tableG, tableB));
    }

    const char* imageName = pages ? "Page" : "Texture";
    const std::string emptyCell =
        Format("\t\t<TD ALIGN=\"%s\" BGCOLOR=\"#%02x%02x%02x\">&nbsp;</TD>\r\n", align, cellR,
               cellG, cellB);
    if (progress) progress(kSavingHtmlText, 0, count);
    // A row is never wider than the images, or than the dialog's arrows reach when there are
    // fewer: two billion columns would otherwise fill the disk with empty cells. Every layout
    // the arrows can set stays as it always was.
    const int columns = std::min(s.columns, std::max(count, kMaxArrowColumns));
    // Rows continue until a row has run past the last image, so a count that fills its last
    // row exactly is followed by one row of empty cells; the galleries always looked so.
    int n = 0;
    for (int r = 0; count > 0;) {
        sink("\t<TR>\r\n");
        for (int c = 0; c < columns; ++c) {
            ++n;
            if (n <= count) {
                sink(
                    Format("\t\t<TD ALIGN=\"%s\" BGCOLOR=\"#%02x%02x%02x\"><A HREF=\"%s%d.%s\">"
                           "<IMG SRC=\"%s%d.%s\" BORDER=\"0\"></A></TD>\r\n",
                           align, cellR, cellG, cellB, imageName, n, extension.c_str(), imageName,
                           n, extension.c_str()));
            } else {
                sink(emptyCell);
            }
        }
        sink("\t</TR>\r\n");
        ++r;
        if (progress) progress(kSavingHtmlText, r, count);
        if (n > count || r >= count) break;
    }

    sink("</TABLE>\r\n</CENTER></DIV>\r\n<HR>\r\n");
    sink(
        "<P ALIGN=\"CENTER\"><FONT SIZE=\"2\">Webpage Generated by <B>Pelmora 1.0.6.6 (by <A "
        "HREF=\"mailto:");
    sink(kAuthorAddress);
    sink("?subject=Pelmora\">Brell</A>)</B></FONT></P>\r\n");
    sink("<P>&nbsp;</P>\r\n</BODY>\r\n</HTML>\r\n");
}

std::string GalleryHtml(GalleryKind kind, const std::string& name, int count,
                        const GallerySettings& settings, const std::string& extension) {
    std::string out;
    WriteGalleryHtml(kind, name, count, settings, extension,
                     [&out](std::string_view piece) { out.append(piece); });
    return out;
}

namespace {

Outcome WriteGallery(GalleryKind kind, const Project& project, int count, const std::string& path,
                     const std::string& extension, const GallerySettings& settings,
                     const ExportProgress& progress) {
    AtomicFileWriter writer(path);
    if (!writer.Open()) return Outcome::Failed(path, writer.Error());
    WriteGalleryHtml(
        kind, FileNameOf(project.filePath), count, settings, extension,
        [&writer](std::string_view piece) { writer.Write(piece); }, progress);
    if (!writer.Commit()) return Outcome::Failed(path, writer.Error());
    return Outcome::Done(true);
}

}  // namespace

Outcome WritePagesGallery(const Project& project, const std::string& path,
                          const std::string& extension, const GallerySettings& settings) {
    return WriteGallery(GalleryKind::Pages, project, project.PageCount(), path, extension, settings,
                        {});
}

Outcome WriteTexturesGallery(const Project& project, const std::string& path,
                             const std::string& extension, const GallerySettings& settings,
                             const ExportProgress& progress) {
    return WriteGallery(GalleryKind::Textures, project, project.RecordCount(), path, extension,
                        settings, progress);
}

}  // namespace pelmora
