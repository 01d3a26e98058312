#include "base/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "test_support.h"

namespace pelmora {
namespace {

// The defaults as the file holds them, typed out independently of the writer.
std::string DefaultBytes() {
    using namespace std::string_literals;
    const auto font = [](std::string height, std::string name) {
        std::string record =
            height + std::string(12, '\0') + "\xBC\x02\0\0"s + std::string(7, '\0') + '\x20' + name;
        return record + std::string(60 - record.size(), '\0');
    };
    // Magic, colours, flags, grid, then the two fonts.
    return "PELMORCFG\0\0\xFF\0\0\xFF\xFF\xFF\0\0\0\0\xFF\0\xFF\0"
           "\xFF\xFF\0\0\0\xFF\xFF\0\x02\x01\x01\x01\x40\0\x40\0"s +
           font("\xED\xFF\xFF\xFF"s, "Arial") + font("\xF5\xFF\xFF\xFF"s, "MS Sans Serif") + '\0';
}

TEST(SettingsFileTest, TheDefaultsLayoutAndReadingItsEdges) {
    const std::string defaults = SettingsFileBytes(Settings{});
    ASSERT_EQ(defaults.size(), kSettingsFileSize);
    EXPECT_EQ(defaults, DefaultBytes());
    const char* const kWrongType = "Couldn't load settings file...\nError::Wrong Type";
    const auto with = [](std::initializer_list<std::pair<size_t, uint8_t>> changes) {
        std::string bytes = DefaultBytes();
        for (const auto& [at, value] : changes) bytes[at] = static_cast<char>(value);
        return bytes;
    };
    const struct {
        const char* name;
        std::string bytes;
        Settings expected;
        const char* message = "";
    } cases[] = {
        {"lower-case magic, grid 100",
         with({{0, 'p'}, {8, 'g'}, {37, 100}, {39, 100}}),
         {.gridAcross = 100, .gridDown = 100}},
        {"kept as read", with({{33, 7}, {34, 0}}), {.cpuPriority = 7, .sortFilesBy = 0}},
        {"grid 0 refused", with({{37, 0}, {38, 0}, {39, 0x2C}, {40, 1}}), {.gridDown = 300}},
        {"grid and draw on", with({{18, 1}, {161, 1}}), {.showGrid = true, .draw = true}},
        // Cut inside grid across: that and all after keep their defaults.
        {"cut at byte 38",
         with({{33, 3}, {35, 0}, {37, 9}}).substr(0, 38),
         {.cpuPriority = 3, .showWarnings = false}},
        {"cut at byte 12", with({{9, 1}, {10, 0x12}, {11, 0x34}}).substr(0, 12), {.track = true}},
        {"longer than the layout", DefaultBytes() + "more", Settings{}},
        {"wrong magic", "PELMORCFX" + DefaultBytes().substr(9), {}, kWrongType},
        {"too short for the magic", "PELM", {}, kWrongType},
    };
    for (const auto& c : cases) {
        std::string message;
        EXPECT_EQ(ParseSettings(c.bytes, &message), c.expected) << c.name;
        EXPECT_EQ(message, c.message) << c.name;
    }
}

TEST(SettingsFileTest, FontRecordKeepsItsFieldsAndCutsALongName) {
    FontRecord font{16,   -3, 900, -900, 300, true, true,
                    true, 1,  2,   3,    4,   0x22, std::string(31, 'n')};
    EXPECT_EQ(ParseFontRecord(FontRecordBytes(font).data()), font);

    font.faceName = std::string(40, 'n');
    const auto bytes = FontRecordBytes(font);
    EXPECT_EQ(bytes[59], 0);
    EXPECT_EQ(ParseFontRecord(bytes.data()).faceName, std::string(31, 'n'));
}

TEST(SettingsFileOnDisk, AFreshStartIsSilentTheNextFindsTheFileAndFailuresAreTold) {
    test::TempDir dir;
    const std::string path = dir.File("config/pelmora/pelmora.cfg");
    const auto load = [](const std::string& from) {
        const SettingsLoad loaded = LoadSettingsFile(from);
        return std::pair(loaded.settings, loaded.message);
    };
    EXPECT_EQ(load(path), std::pair(Settings{}, std::string()));
    Settings changed{.gridAcross = 100, .draw = true};
    changed.numberFont = {.height = -16, .italic = true, .faceName = "DejaVu Sans"};
    ASSERT_TRUE(SaveSettingsFile(changed, path).IsDone());  // makes the missing folders
    EXPECT_EQ(std::filesystem::status(dir.File("config/pelmora")).permissions(),
              std::filesystem::perms::owner_all);
    EXPECT_EQ(load(path), std::pair(changed, std::string()));
    EXPECT_TRUE(test::HoldsUnderSizeLimit(100, [&] {
        const Outcome result = SaveSettingsFile(Settings{}, path);
        return !result.IsDone() && result.message.find("pelmora.cfg") != std::string::npos;
    })) << "the failure was not reported";
    EXPECT_EQ(test::ReadFile(path), SettingsFileBytes(changed));

    // Other read failures are told, with the defaults; a FIFO with no writer must not block.
    const std::string folder = dir.File("folder.cfg"), fifo = dir.File("fifo.cfg");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700) | ::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& bad : {folder, fifo}) {
        const auto [settings, message] = load(bad);
        EXPECT_EQ(settings, Settings{});
        EXPECT_NE(message.find(bad), std::string::npos) << message;
    }
}

TEST(SettingsFileOnDisk, ThePathPrefersAPortableCopyThenTheConfigFolder) {
    test::TempDir dir;
    const std::string program = dir.File("bin/pelmora");
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"/xdg/", "/home/u", "/xdg/pelmora/pelmora.cfg"},
        {nullptr, "/home/u", "/home/u/.config/pelmora/pelmora.cfg"},
        {"relative", "/home/u", "/home/u/.config/pelmora/pelmora.cfg"},
        {nullptr, nullptr, dir.File("bin/pelmora.cfg")},
    };
    for (const auto& [xdg, home, expected] : cases)
        EXPECT_EQ(SettingsFilePath(program, xdg, home), expected);
    ASSERT_TRUE(SaveSettingsFile(Settings{}, dir.File("bin/pelmora.cfg")).IsDone());
    EXPECT_EQ(SettingsFilePath(program, "/xdg", "/home/u"), dir.File("bin/pelmora.cfg"));
}

}  // namespace
}  // namespace pelmora
