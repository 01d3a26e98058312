#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/colour.h"
#include "base/image.h"

namespace pelmora {

// Decodes and scales the pieces of a file list ahead of the one who places them: several
// threads work on the next files while Take hands the results out strictly in list order,
// so the outcome is the same as loading one file after the other. At most lookahead pieces
// wait decoded at any time, which bounds the memory held.
class PieceLoader {
public:
    // Images with alpha are laid over background (the colour of the pages they go on).
    PieceLoader(std::vector<std::string> paths, int threads, int lookahead,
                std::optional<Colour> background = std::nullopt);
    // Stops the threads; a file being decoded is finished first, the rest are not started.
    ~PieceLoader();
    PieceLoader(const PieceLoader&) = delete;
    PieceLoader& operator=(const PieceLoader&) = delete;

    // Blocks until piece i is ready; nothing when the file could not be loaded or its piece
    // would have no width or height, and *error then says why (naming the file). Call with
    // i = 0, 1, 2, ... in order.
    std::optional<Image> Take(size_t i, std::string* error = nullptr);

    // Loads one file and scales it to fit a page: what each thread does per file.
    static std::optional<Image> LoadPiece(const std::string& path, std::string* error = nullptr,
                                          std::optional<Colour> background = std::nullopt);

private:
    void Work();

    const std::vector<std::string> paths_;
    const size_t lookahead_;
    const std::optional<Colour> background_;
    std::mutex mutex_;
    // Two conditions, so that a finished piece wakes only the taker and a taken one only a
    // thread that waits for room: every needless wake-up is a context switch per file.
    std::condition_variable pieceReady_;
    std::condition_variable roomFreed_;
    std::vector<std::optional<Image>> pieces_;
    std::vector<std::string> errors_;
    std::vector<char> ready_;
    size_t next_ = 0;   // the next file a thread may claim
    size_t taken_ = 0;  // files handed out so far
    size_t awaited_;    // the piece Take waits for, or none
    int waitingForRoom_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace pelmora
