#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/texture_record.h"

namespace pelmora {

// True for the versions Pelmora reads: 129, 130 and "PELM".
bool IsAcceptedVersion(uint32_t version);

// Reads the texture section of a WAD or texture-only file front to back. Every count the
// file announces is bounded by the bytes it really holds, so a damaged or hostile header
// never makes us allocate or loop beyond the file's size.
class WadFileReader {
public:
    WadFileReader() = default;
    ~WadFileReader();
    WadFileReader(const WadFileReader&) = delete;
    WadFileReader& operator=(const WadFileReader&) = delete;

    // False with Error() set when the file cannot be opened. Anything but a regular file (a
    // pipe, a FIFO, a device) is refused at once: its size is unknown and it may never end.
    bool Open(const std::string& path);
    const std::string& Error() const { return error_; }

    // A file shorter than four bytes reads as version 0.
    uint32_t ReadVersion();
    // The records the file announces, as many as it holds; a record cut short by the end of
    // the file is zero-filled. False with Error() set ("not enough memory") when they would
    // take more than half of the machine's memory: a sparse file can hold billions.
    bool ReadRecords(std::vector<TextureRecord>& records);
    // The number of pages the page data size announces, as many as the file holds (a page
    // cut short by the end of the file still counts).
    int ReadPageCount();
    // Page i of those ReadPageCount announced: 196,608 bytes, rows top first, red, green,
    // blue; bytes past the end of the file are white. Safe to call from several threads at
    // once, in any order.
    void ReadPage(int i, uint8_t* page) const;
    // Moves past the count pages, to what follows them.
    void SkipPages(int count);
    // How many bytes follow the current position.
    long long RestBytes() const { return Remaining(); }
    // Copies everything from the current position to the end of the file into path
    // (created anew). False with Error() set when path cannot be written.
    bool CopyRestTo(const std::string& path);

private:
    int32_t ReadInt32();
    long long Remaining() const;

    std::FILE* file_ = nullptr;
    long long size_ = 0;
    long long position_ = 0;
    long long pagesStart_ = 0;
    std::string path_;
    std::string error_;
};

}  // namespace pelmora
