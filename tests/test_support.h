#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/image.h"
#include "base/project.h"
#include "base/texture_record.h"

namespace pelmora::test {

// A fresh folder under the temporary-files folder, removed with its contents when it goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A WAD or texture-only file made by hand, so tests never depend on the writer they check.
struct WadBytes {
    uint32_t version = 129;
    std::vector<TextureRecord> records;
    std::vector<std::vector<uint8_t>> pages;  // each 196,608 bytes
    std::string rest;
    std::string Build() const;
};

// A page whose pixel (x, y) is (x, y, seed) in red, green, blue.
std::vector<uint8_t> PatternPage(uint8_t seed);
Image PatternImage(int width, int height, uint8_t seed);

// A tiny, well-formed PNG claiming width x height pixels; its data inflates to far more.
std::string ClaimingPng(uint32_t width, uint32_t height);

// Points TMPDIR at folder while it lives.
class ScopedTempFolder {
public:
    explicit ScopedTempFolder(const std::string& folder);
    ~ScopedTempFolder();
    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

private:
    bool hadOld_ = false;
    std::string old_;
};

// A sparse file of size bytes that starts with head: large files cost no disk.
void WriteSparseFile(const std::string& path, const std::string& head, long long size);

// A real PNG of width x height pixels of one grey, cheap however large it is.
std::string SolidPng(uint32_t width, uint32_t height, uint8_t grey);

// A PNG with an alpha channel, every pixel (r, g, b) at opacity a.
std::string RgbaPng(uint32_t width, uint32_t height, uint8_t r, uint8_t g, uint8_t b, uint8_t a);

std::string ReadFile(const std::string& path);

// Runs body in a forked child (as the user nobody when asked), so that rlimits, signal
// settings and a changed user stay there; the child's exit code, -1 when a signal ended it.
int ExitCodeInChild(const std::function<int()>& body, bool asNobody = false);
// Runs body in a child under a file-size limit of bytes (SIGXFSZ ignored): whether it held.
bool HoldsUnderSizeLimit(long long bytes, const std::function<bool()>& body);
// How many entries a folder holds: a temporary file left behind shows up as one more.
size_t Entries(const std::string& folder);
// Writes image as a PNG named name in dir; its path.
std::string WritePng(const TempDir& dir, const std::string& name, const Image& image);

// The nice value of thread tid of this process, read from /proc (-100 when it is gone).
int ThreadNice(long tid);
// The nice values of every thread of this process.
std::vector<int> AllThreadNices();
long CurrentThreadId();
void WriteFile(const std::string& path, const std::string& bytes);

// A project as File > New leaves it, in memory only.
void NewInMemory(Project& project, Colour pageColour = 0);
// The same with pages pattern pages instead, page k seeded k.
void WithPatternPages(Project& project, int pages);
inline Image Page(const Project& project, int k) {
    return *project.pages.GetBitmap(k);
}

}  // namespace pelmora::test
