// Feeds arbitrary bytes to the settings-file reader. Inputs whose first byte is odd get the
// magic put in front, so that the fuzzer spends its time on the fields rather than on
// guessing the magic. Whatever the reader makes of the bytes must survive a write and a
// second read unchanged, and a grid size below 1 must never come out.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string withMagic;
    if (size > 0 && (data[0] & 1) != 0) {
        withMagic = std::string(pelmora::kSettingsMagic);
        withMagic.append(input.substr(1));
        input = withMagic;
    }
    std::string message;
    const pelmora::Settings settings = pelmora::ParseSettings(input, &message);
    if (settings.gridAcross < 1 || settings.gridDown < 1) std::abort();
    const std::string bytes = pelmora::SettingsFileBytes(settings);
    if (bytes.size() != pelmora::kSettingsFileSize) std::abort();
    std::string again;
    if (!(pelmora::ParseSettings(bytes, &again) == settings) || !again.empty()) std::abort();
    return 0;
}
