// The integer and boolean codings through a whole load: a value as the file stores it is read
// under keys of every kind and compared with the codings' rules, worked out here independently.

#include "launcher.h"
#include "scratch.h"
#include "settings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

using namespace vodavav;

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// What the profile file gives for a value line: blanks around it dropped, then one pair of
// double quotes around the whole of it.
std::string_view storedValue(std::string_view v) {
    while (!v.empty() && isBlank(v.front())) {
        v.remove_prefix(1);
    }
    while (!v.empty() && isBlank(v.back())) {
        v.remove_suffix(1);
    }
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') {
        v = v.substr(1, v.size() - 2);
    }
    return v;
}

// The integer coding: leading blanks, then "$", "0x" or "0X" with one to eight hexadecimal
// digits taken as 32 bits; or an optional sign and decimal digits within the 32-bit range.
std::optional<std::int32_t> integerCoding(std::string_view v) {
    while (!v.empty() && isBlank(v.front())) {
        v.remove_prefix(1);
    }
    std::size_t prefix = v.starts_with('$')                           ? 1
                         : v.starts_with("0x") || v.starts_with("0X") ? 2
                                                                      : 0;
    if (prefix > 0) {
        v.remove_prefix(prefix);
        if (v.empty() || v.size() > 8) {
            return std::nullopt;
        }
        std::uint32_t bits = 0;
        for (const char c : v) {
            const std::string_view digits = "0123456789abcdef";
            const std::size_t d =
                digits.find(static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c));
            if (d == std::string_view::npos) {
                return std::nullopt;
            }
            bits = bits * 16 + static_cast<std::uint32_t>(d);
        }
        return static_cast<std::int32_t>(bits);
    }
    bool negative = false;
    if (v.starts_with('+') || v.starts_with('-')) {
        negative = v.front() == '-';
        v.remove_prefix(1);
    }
    if (v.empty()) {
        return std::nullopt;
    }
    std::int64_t magnitude = 0;
    for (const char c : v) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > std::int64_t{1} << 31) {
            return std::nullopt;
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string raw(reinterpret_cast<const char*>(data), size);
    // One line of the file holds the value.
    raw = raw.substr(0, raw.find_first_of("\r\n"));
    const std::optional<std::int32_t> number = integerCoding(storedValue(raw));

    const std::string& dir = fuzz::scratchDirectory();
    const std::string file = dir + "/coding.ini";
    fuzz::writeWhole(file, "[DezovESettings]\nSplashScreen=" + raw +
                               "\n[VideoSettings]\nVesaDetect=" + raw + "\nFrameSkip=" + raw +
                               "\n[ControlSettings]\nControllerType=" + raw + "\nSnesPort=" + raw +
                               "\n");
    Launcher launcher(dir);
    Settings settings(file);
    settings.load(launcher);

    const auto expect = [&](Id id, int got, int absent) {
        const int want = clampValue(descriptor(id), number.value_or(absent));
        if (got != want) {
            fuzz::finding(std::string(descriptor(id).name) + " read " + std::to_string(got) +
                              " instead of " + std::to_string(want),
                          raw);
        }
    };
    expect(Id::splashScreen, launcher.splashScreen, 1);
    expect(Id::chVESADetection, launcher.options().value(Id::chVESADetection), 1);
    expect(Id::tbFrameSkip, launcher.options().value(Id::tbFrameSkip), 0);
    expect(Id::rgController, launcher.options().value(Id::rgController), 0);
    expect(Id::cbSNESPort, launcher.options().value(Id::cbSNESPort), 0);
    if (launcher.options().checked(Id::chVESADetection) != (number.value_or(1) != 0)) {
        fuzz::finding("the boolean coding is not \"any non-zero number is true\"", raw);
    }
    return 0;
}
