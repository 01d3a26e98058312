// The update page comes from the network: whatever it holds, reading its version must neither
// crash nor read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "update/version.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const int order = pelmora::CompareVersions(pelmora::PublishedVersion(body), "1.0.6.6");
    if (order < -22 || order > 1) __builtin_trap();
    pelmora::CompareVersions("1.0.6.6", body);
    return 0;
}
