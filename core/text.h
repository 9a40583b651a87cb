#pragma once

#include <string_view>

namespace vodavav {

// Names of files, sections and keys compare ignoring the case of ASCII letters only: other bytes
// (UTF-8 or not) are compared as they are.
constexpr char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace vodavav
