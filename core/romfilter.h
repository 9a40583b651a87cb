#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace vodavav {

struct SystemFilter {
    std::string_view shownAs;
    std::string_view mask;
    std::string_view extension; // put back on launch; empty for "All Roms"
    std::size_t cut;            // characters removed from each name
};

inline constexpr std::string_view kAllRomsMask = "*.sms;*.gg;*.sg;*.sc;*.rom";

inline constexpr std::array<SystemFilter, 6> kSystemFilters{{
    {"All Roms", kAllRomsMask, "", 0},
    {"Master System", "*.sms", ".sms", 4},
    {"Game Gear", "*.gg", ".gg", 3},
    {"SG-1000", "*.sg", ".sg", 3},
    {"SC-3000", "*.sc", ".sc", 3},
    {"Colecovision", "*.rom", ".rom", 4},
}};

// The filter at index k, or none for an index outside the table.
inline std::optional<SystemFilter> systemFilter(int k) {
    if (k < 0 || k >= static_cast<int>(kSystemFilters.size())) {
        return std::nullopt;
    }
    return kSystemFilters[static_cast<std::size_t>(k)];
}

} // namespace vodavav
