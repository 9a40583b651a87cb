#pragma once

#include <string>
#include <string_view>

namespace vodavav::fuzz {

// A directory of this process's own, made at the first call and removed at exit, on a memory
// file system when there is one, so that a run of millions of inputs spares the disk.
const std::string& scratchDirectory();

void writeWhole(const std::string& path, std::string_view content);

// Ends the run as a finding, with what went wrong. libFuzzer keeps the input.
[[noreturn]] void finding(std::string_view what, std::string_view detail = {});

} // namespace vodavav::fuzz
