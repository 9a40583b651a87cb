// The whole settings load on arbitrary bytes: loaded into a fresh launcher as the window starts,
// saved, and loaded again. No crash, no hang, every value one its control can hold, and the
// second run starts exactly as the first did.

#include "launcherstate.h"
#include "scratch.h"
#include "settings.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

using namespace vodavav;

namespace {

struct Run {
    std::string state;
    std::vector<std::string> errors;
};

Run startUp(Settings& settings, Launcher& launcher) {
    Run run;
    try {
        run.errors = reliability::startUp(launcher, settings);
    } catch (const DirectoryError& e) {
        run.errors.push_back(e.what());
    }
    if (const std::string outside = reliability::valuesOutsideTheirDomain(launcher);
        !outside.empty()) {
        fuzz::finding("values outside their domain", outside);
    }
    run.state = reliability::stateOf(launcher);
    return run;
}

std::string joined(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& t : texts) {
        out += t + "\n";
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& dir = fuzz::scratchDirectory();
    const std::string roms = dir + "/roms";
    static const bool made = [&] {
        std::filesystem::create_directory(roms);
        for (const char* name : {"ALEXKIDD.SMS", "COLUMNS.GG", "Twin.sms", "Twin.SMS", "x.rom"}) {
            fuzz::writeWhole(roms + "/" + name, "");
        }
        return true;
    }();
    static_cast<void>(made);
    const std::string file = dir + "/vodavav.ini";
    fuzz::writeWhole(file, std::string_view(reinterpret_cast<const char*>(data), size));

    Launcher first(roms);
    Settings settings(file);
    const Run one = startUp(settings, first);
    try {
        settings.save(first);
    } catch (const SettingsWriteError& e) {
        fuzz::finding("a plain file in a writable directory was not saved", e.reason());
    }
    Launcher second(roms);
    Settings again(file);
    const Run two = startUp(again, second);
    if (two.state != one.state || two.errors != one.errors) {
        fuzz::finding("settings lost: the saved file starts another launcher",
                      one.state + joined(one.errors) + "--- then ---\n" + two.state +
                          joined(two.errors));
    }
    return 0;
}
