#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

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

// A command line written as words separated by spaces, '' standing for an empty word.
inline std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) words.push_back(word == "''" ? "" : word);
    return words;
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

// Each test runs pelmora-cli in a folder of its own holding a.plm: SampleWad, texture-only.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override { Write("a.plm", SampleWad(kPelmMagic)); }
    // Runs pelmora-cli with the arguments inside the test's folder.
    CliRun RunArgs(const std::vector<std::string>& args) const {
        std::string command =
            "cd " + ShellQuote(dir.Path()) + " && " + ShellQuote(PELMORA_CLI_PATH);
        for (const auto& a : args) command += " " + ShellQuote(a);
        const int raw = std::system((command + " >.stdout 2>.stderr </dev/null").c_str());
        CliRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read(".stdout"), Read(".stderr")};
        std::remove(dir.File(".stdout").c_str()), std::remove(dir.File(".stderr").c_str());
        return run;
    }
    CliRun Run(const std::string& line) const { return RunArgs(Words(line)); }
    // Runs a command that must succeed.
    CliRun Ok(const std::string& line) const {
        CliRun run = Run(line);
        EXPECT_EQ(run.status, 0) << line << ": " << run.err;
        return run;
    }
    std::string Read(const std::string& name) const { return ReadFile(dir.File(name)); }
    void Write(const std::string& name, const std::string& bytes) const {
        WriteFile(dir.File(name), bytes);
    }

    TempDir dir;
};

}  // namespace pelmora::test
