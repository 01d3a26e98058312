// Draws the editor's animated strip: a 24 x 350 GIF89a of 11 looping frames in which the
// word "Pelmora", its letters stacked down the strip, is uncovered from the right edge in
// steps of 4 pixels, held for 3 seconds, covered again in the same steps and held hidden
// for 3 seconds. Run by the build (see CMakeLists.txt) so that the picture always comes
// from this program and the font; the same inputs give the same bytes.
//
//   pelmora_make_animation FONT.ttf OUT.gif
#include <Magick++.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 24;
constexpr int kHeight = 350;
constexpr int kStep = 4;
// Columns shown from the right edge in frames 1 to 11.
constexpr int kShown[] = {0, 4, 8, 12, 16, 20, 16, 12, 8, 4, 0};
constexpr int kFastDelay = 10;   // hundredths of a second
constexpr int kHoldDelay = 300;  // frames 6 and 11
constexpr const char* kWord = "Pelmora";
constexpr int kLetterCell = kHeight / 7;
constexpr double kLetterSize = 17;

const Magick::Color kBackground("#101018");
const Magick::Color kBorder("#5A5A6E");
const Magick::Color kLetters("#FFC83C");

// The strip with every letter showing, as RGB bytes.
std::vector<unsigned char> FullWord(const std::string& fontPath) {
    Magick::Image strip(Magick::Geometry(kWidth, kHeight), kBackground);
    strip.font(fontPath);
    strip.fontPointsize(kLetterSize);
    strip.density(Magick::Geometry(72, 72));
    strip.fillColor(kLetters);
    strip.strokeColor(Magick::Color());
    for (int i = 0; kWord[i] != '\0'; ++i) {
        strip.annotate(std::string(1, kWord[i]),
                       Magick::Geometry(kWidth, kLetterCell, 0, i * kLetterCell),
                       Magick::CenterGravity);
    }
    std::vector<unsigned char> rgb(kWidth * kHeight * 3);
    strip.write(0, 0, kWidth, kHeight, "RGB", Magick::CharPixel, rgb.data());
    return rgb;
}

// The strip with only the rightmost `shown` columns of the word uncovered, inside a border
// that is always there.
Magick::Image Frame(const std::vector<unsigned char>& word, int shown) {
    std::vector<unsigned char> rgb = word;
    const auto paint = [&](int x, int y, const Magick::Color& c) {
        unsigned char* p = &rgb[(static_cast<size_t>(y) * kWidth + x) * 3];
        p[0] = static_cast<unsigned char>(c.redQuantum() * 255 / MaxRGB);
        p[1] = static_cast<unsigned char>(c.greenQuantum() * 255 / MaxRGB);
        p[2] = static_cast<unsigned char>(c.blueQuantum() * 255 / MaxRGB);
    };
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool border = x == 0 || y == 0 || x == kWidth - 1 || y == kHeight - 1;
            if (border) {
                paint(x, y, kBorder);
            } else if (x < kWidth - shown) {
                paint(x, y, kBackground);
            }
        }
    }
    Magick::Image frame;
    frame.read(kWidth, kHeight, "RGB", Magick::CharPixel, rgb.data());
    return frame;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FONT.ttf OUT.gif\n", argv[0]);
        return 2;
    }
    Magick::InitializeMagick(argv[0]);
    static_assert(kShown[5] == 5 * kStep && kShown[10] == 0);
    try {
        const std::vector<unsigned char> word = FullWord(argv[1]);
        std::vector<Magick::Image> frames;
        for (int i = 0; i < 11; ++i) {
            Magick::Image frame = Frame(word, kShown[i]);
            frame.animationDelay(i == 5 || i == 10 ? kHoldDelay : kFastDelay);
            frame.animationIterations(0);  // for ever
            frame.gifDisposeMethod(1);     // each frame is whole: leave it in place
            frames.push_back(frame);
        }
        Magick::writeImages(frames.begin(), frames.end(), std::string("GIF:") + argv[2]);
    } catch (const Magick::Exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}
