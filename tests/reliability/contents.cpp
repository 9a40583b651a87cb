#include "contents.h"

#include <string>

namespace vodavav::reliability {

void applyContent(Launcher& launcher, char which) {
    const bool a = which == 'A';
    OptionSet& options = launcher.options();
    // Twice: the second round puts back what an interlock forced in the first, so the values
    // end the same whatever the launcher held before.
    for (int round = 0; round < 2; ++round) {
        for (const Descriptor& d : descriptors().first<kControlCount>()) {
            switch (d.kind) {
            case Kind::Check:
                options.setValue(d.id, a ? 1 : 0);
                break;
            case Kind::Position:
                options.setValue(d.id, a ? 3 : 7);
                break;
            default:
                options.setValue(d.id, a ? 0 : static_cast<int>(d.choices.size()) - 1);
                break;
            }
        }
    }
    launcher.emuPath = std::string(a ? "/opt/vemox-A/" : "/opt/vemox-B/") +
                       std::string(900, a ? 'a' : 'b') + "/vemox";
    launcher.splashScreen = a ? 0 : 1;
}

} // namespace vodavav::reliability
