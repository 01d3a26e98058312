#include "edit/piece_loader.h"

#include <algorithm>

#include "edit/add_pieces.h"
#include "base/image_io.h"

namespace pelmora {

PieceLoader::PieceLoader(std::vector<std::string> paths, int threads, int lookahead,
                         std::optional<Colour> background)
    : paths_(std::move(paths)),
      lookahead_(static_cast<size_t>(std::max(lookahead, 1))),
      background_(background),
      pieces_(paths_.size()),
      errors_(paths_.size()),
      ready_(paths_.size(), 0),
      awaited_(paths_.size()) {
    if (paths_.empty()) return;
    // The library's own decoder threads would only compete with ours.
    SetImageLibraryThreads(1);
    const int count = std::clamp(threads, 1, static_cast<int>(std::min<size_t>(paths_.size(), 64)));
    for (int t = 0; t < count; ++t) threads_.emplace_back([this] { Work(); });
}

PieceLoader::~PieceLoader() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    roomFreed_.notify_all();
    for (std::thread& t : threads_) t.join();
}

std::optional<Image> PieceLoader::LoadPiece(const std::string& path, std::string* error,
                                            std::optional<Colour> background) {
    // Runs on the loader's threads, where an escaping exception would end the program: a
    // piece that cannot be made for any reason is a file that failed to load.
    try {
        // Scaled while decoding, so a JPEG photo is decoded at a fraction of its size. Several
        // threads may decode at once; the image layer's budget makes them wait for memory
        // rather than fail, so the result never depends on the number of threads.
        return LoadScaledImage(
            path,
            [](int w, int h) {
                int width = 0, height = 0;
                FitToPage(w, h, width, height);
                return std::pair{width, height};
            },
            error, background);
    } catch (const std::exception& e) {
        if (error) *error = "\"" + path + "\" could not be loaded: " + e.what();
        return std::nullopt;
    }
}

void PieceLoader::Work() {
    std::unique_lock lock(mutex_);
    while (true) {
        ++waitingForRoom_;
        roomFreed_.wait(lock, [this] {
            return stopping_ || next_ >= paths_.size() || next_ < taken_ + lookahead_;
        });
        --waitingForRoom_;
        if (stopping_ || next_ >= paths_.size()) return;
        const size_t i = next_++;
        lock.unlock();
        std::string error;
        std::optional<Image> piece = LoadPiece(paths_[i], &error, background_);
        lock.lock();
        pieces_[i] = std::move(piece);
        errors_[i] = std::move(error);
        ready_[i] = 1;
        if (awaited_ == i) pieceReady_.notify_one();
    }
}

std::optional<Image> PieceLoader::Take(size_t i, std::string* error) {
    if (i >= paths_.size()) return std::nullopt;
    std::unique_lock lock(mutex_);
    awaited_ = i;
    pieceReady_.wait(lock, [this, i] { return ready_[i] != 0; });
    awaited_ = paths_.size();
    std::optional<Image> piece;
    piece.swap(pieces_[i]);
    if (error) error->swap(errors_[i]);
    taken_ = std::max(taken_, i + 1);
    if (waitingForRoom_ > 0) roomFreed_.notify_one();
    return piece;
}

}  // namespace pelmora
