// The profile-file layer on arbitrary bytes: the text reads back exactly as it was, and a value
// stored under any of the launcher's keys reads back as stored while every other key keeps the
// value it had, also after the text is read again.

#include "options.h"
#include "profilefile.h"
#include "scratch.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using namespace vodavav;

namespace {

std::vector<std::optional<std::string>> allValues(const ProfileFile& profile) {
    std::vector<std::optional<std::string>> values;
    for (const Descriptor& d : descriptors()) {
        values.push_back(profile.value(d.section, d.key));
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ProfileFile profile(text);
    if (profile.text() != text) {
        fuzz::finding("settings lost: the text does not read back as it was");
    }
    std::vector<std::optional<std::string>> before = allValues(profile);

    // The first byte picks the key, the input's last line (up to 64 bytes) is the value.
    if (size == 0) {
        return 0;
    }
    const std::size_t which = data[0] % descriptors().size();
    const Descriptor& d = descriptors()[which];
    std::string value = text.substr(
        text.find_last_of("\r\n") == std::string::npos ? 1 : text.find_last_of("\r\n") + 1);
    value.resize(std::min<std::size_t>(value.size(), 64));
    if (!profile.setValue(d.section, d.key, value)) {
        fuzz::finding("a value without a line break was refused", value);
    }
    before[which] = value;
    if (allValues(profile) != before) {
        fuzz::finding("settings lost: storing one value changed what the keys read");
    }
    if (allValues(ProfileFile(profile.text())) != before) {
        fuzz::finding("settings lost: the stored text reads back to other values");
    }
    return 0;
}
