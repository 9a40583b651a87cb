// Saves the settings file as the launcher does at exit, for the tests that kill a save or race
// two of them.
//
//   reliability_saver loop FILE ROMDIR    loads FILE, then saves B, A, B, ... until killed,
//                                         writing one "." to standard output after each save
//   reliability_saver once FILE ROMDIR X  loads FILE, waits until standard input ends, then
//                                         saves X (A or B) once
//
// Both write "ready\n" once the load is done. Exit status 1 when a save was refused.

#include "contents.h"
#include "settings.h"

#include <cstdio>
#include <iostream>
#include <string_view>
#include <unistd.h>

using namespace vodavav;

namespace {

void say(std::string_view text) {
    // Unbuffered: the test reads it while this process still runs.
    static_cast<void>(::write(1, text.data(), text.size()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: reliability_saver loop|once FILE ROMDIR [A|B]\n";
        return 2;
    }
    const std::string_view mode = argv[1];
    Launcher launcher(argv[3]);
    Settings settings(argv[2]);
    settings.load(launcher);
    say("ready\n");
    try {
        if (mode == "loop") {
            for (long i = 0;; ++i) {
                reliability::applyContent(launcher, i % 2 == 0 ? 'B' : 'A');
                settings.save(launcher);
                say(".");
            }
        }
        char byte;
        while (::read(0, &byte, 1) > 0) {
        }
        reliability::applyContent(launcher, argc > 4 ? argv[4][0] : 'A');
        settings.save(launcher);
    } catch (const SettingsWriteError& e) {
        std::cerr << e.what() << ": " << e.reason() << '\n';
        return 1;
    }
    return 0;
}
