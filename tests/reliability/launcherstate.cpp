#include "launcherstate.h"

namespace vodavav::reliability {

std::string stateOf(const Launcher& launcher) {
    std::string out;
    const OptionSet& options = launcher.options();
    for (const Descriptor& d : descriptors()) {
        out += std::string(d.name) + "=";
        switch (d.id) {
        case Id::romDirectory:
            out += launcher.romDirectory();
            break;
        case Id::emuPath:
            out += launcher.emuPath;
            break;
        case Id::lastRom:
            out += std::to_string(launcher.files().selected());
            break;
        case Id::splashScreen:
            out += std::to_string(launcher.splashScreen);
            break;
        default:
            out += std::to_string(options.value(d.id));
            out += options.enabled(d.id) ? "" : " (disabled)";
            break;
        }
        out += '\n';
    }
    out += "frameSkipLabel=" + options.frameSkipLabel() + "\n";
    out += "countLabel=" + launcher.countLabel() + "\n";
    out += "lastFilter=" + std::to_string(launcher.lastFilter()) + "\n";
    out += "mask=" + launcher.files().mask() + "\n";
    return out;
}

std::string valuesOutsideTheirDomain(const Launcher& launcher) {
    std::string out;
    for (const Descriptor& d : descriptors().first<kControlCount>()) {
        const int value = launcher.options().value(d.id);
        if (clampValue(d, value) != value) {
            out += std::string(d.name) + " holds " + std::to_string(value) + "\n";
        }
    }
    return out;
}

std::vector<std::string> startUp(Launcher& launcher, Settings& settings) {
    std::vector<std::string> errors = settings.load(launcher);
    launcher.filterRefresh();
    launcher.files().select(launcher.lastRom);
    return errors;
}

} // namespace vodavav::reliability
