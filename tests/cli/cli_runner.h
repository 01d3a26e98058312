#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "test_support.h"

namespace pelmora::test {

// What one run of the pelmora-cli binary printed and how it ended.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs pelmora-cli with the arguments inside dir.
inline CliRun RunCliBinary(const std::string& dir, const std::vector<std::string>& args) {
    const std::string errPath = dir + "/.stderr";
    std::string command = "cd " + ShellQuote(dir) + " && " + ShellQuote(PELMORA_CLI_PATH);
    for (const auto& a : args) command += " " + ShellQuote(a);
    command += " 2>" + ShellQuote(errPath) + " </dev/null";
    CliRun run;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer;
        size_t got;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            run.out.append(buffer.data(), got);
        const int raw = ::pclose(pipe);
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    run.err = ReadFile(errPath);
    std::remove(errPath.c_str());
    return run;
}

// Two pattern pages; Texture 2 is a 30 x 40 rectangle at 10, 20 of page 2, flipped upright.
inline std::string SampleWad(uint32_t version, const std::string& rest = "") {
    WadBytes wad;
    wad.version = version;
    wad.records = {TextureRecord{}, MakeRecord(10, 20, 30, 40, 1, 0, -1)};
    wad.pages = {PatternPage(1), PatternPage(2)};
    wad.rest = rest;
    return wad.Build();
}

// Each test runs pelmora-cli in a folder of its own.
class CliTest : public ::testing::Test {
protected:
    CliRun Run(const std::vector<std::string>& args) const {
        return RunCliBinary(dir.Path(), args);
    }
    int Status(const std::vector<std::string>& args) const { return Run(args).status; }
    // Runs a command that must succeed.
    CliRun Ok(const std::vector<std::string>& args) const {
        CliRun run = Run(args);
        EXPECT_EQ(run.status, 0) << args[0] << ": " << run.err;
        return run;
    }
    std::string Read(const std::string& name) const { return ReadFile(dir.File(name)); }
    void Write(const std::string& name, const std::string& bytes) const {
        WriteFile(dir.File(name), bytes);
    }

    TempDir dir;
};

}  // namespace pelmora::test
