// Draws Pelmora's icon, a dark texture page with coloured pieces packed onto it and one
// spot still free, as a 256 x 256 master, and writes it scaled to each size the desktop's
// icon theme asks for. Run by the build (see cmake/install.cmake) so that every size comes
// from the same drawing; the same program gives the same pictures.
//
//   pelmora_make_icons OUTDIR SIZE...   writes OUTDIR/SIZExSIZE/apps/pelmora.png
#include <Magick++.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int kMaster = 256;
constexpr double kPageInset = 8;
constexpr double kPageCorner = 40;
constexpr double kGridOrigin = 28;  // the pieces' area is 200 px: 4 cells of 44 px, gaps of 8
constexpr double kCell = 44;
constexpr double kGap = 8;
constexpr double kPieceCorner = 7;

struct Piece {
    int column, row, width, height;
    const char* colour;
};

// A big piece, a few wide and tall ones and small ones, as the packer would place them;
// the bottom-right cell stays free.
constexpr Piece kPieces[] = {
    {0, 0, 2, 2, "#FFA000"}, {2, 0, 2, 1, "#00C8FF"}, {2, 1, 1, 1, "#FF4040"},
    {3, 1, 1, 1, "#FFE000"}, {0, 2, 1, 2, "#00C850"}, {1, 2, 1, 1, "#3C5AFF"},
    {2, 2, 2, 1, "#A03CC8"}, {1, 3, 1, 1, "#FFE000"}, {2, 3, 1, 1, "#FF4040"},
};

Magick::Image Master() {
    Magick::Image image(Magick::Geometry(kMaster, kMaster), Magick::Color(0, 0, 0, MaxRGB));
    image.matte(true);
    image.strokeColor(Magick::Color());  // no outlines: only filled shapes
    image.fillColor(Magick::Color("#22222C"));
    image.draw(Magick::DrawableRoundRectangle(kPageInset, kPageInset, kMaster - kPageInset,
                                              kMaster - kPageInset, kPageCorner, kPageCorner));
    for (const Piece& piece : kPieces) {
        const double x0 = kGridOrigin + piece.column * (kCell + kGap);
        const double y0 = kGridOrigin + piece.row * (kCell + kGap);
        const double x1 = x0 + piece.width * kCell + (piece.width - 1) * kGap;
        const double y1 = y0 + piece.height * kCell + (piece.height - 1) * kGap;
        image.fillColor(Magick::Color(piece.colour));
        image.draw(Magick::DrawableRoundRectangle(x0, y0, x1, y1, kPieceCorner, kPieceCorner));
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: pelmora_make_icons OUTDIR SIZE...\n");
        return 2;
    }
    Magick::InitializeMagick(argv[0]);
    try {
        const Magick::Image master = Master();
        for (int i = 2; i < argc; ++i) {
            const int size = std::atoi(argv[i]);
            if (size < 1 || size > kMaster) {
                std::fprintf(stderr, "pelmora_make_icons: bad size %s\n", argv[i]);
                return 2;
            }
            const std::string name = std::to_string(size) + "x" + std::to_string(size);
            const std::filesystem::path folder = std::filesystem::path(argv[1]) / name / "apps";
            std::filesystem::create_directories(folder);
            Magick::Image icon = master;
            if (size != kMaster) {
                icon.filterType(Magick::LanczosFilter);
                icon.resize(Magick::Geometry(size, size));
            }
            icon.write("PNG32:" + (folder / "pelmora.png").string());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pelmora_make_icons: %s\n", e.what());
        return 1;
    }
    return 0;
}
