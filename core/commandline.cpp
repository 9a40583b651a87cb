#include "commandline.h"

#include "optionset.h"

#include <array>
#include <string_view>

namespace vodavav {

namespace {

using sv = std::string_view;

// Text appended for each choice of a choice option; an empty text appends nothing.
constexpr std::array<sv, 6> kRes{"", " -res 1", " -res 2", " -res 4", " -res 6", " -res 8"};
constexpr std::array<sv, 3> kVsync{"", " -vsync", " -truevsync"};
constexpr std::array<sv, 3> kVideoMode{"", " -line", " -block"};
constexpr std::array<sv, 6> kEmuMode{"", " -sms", " -gg", " -sg1000", " -sc3000", " -coleco"};
constexpr std::array<sv, 7> kController{"",           " -lightgun", " -joy",    " -paddle",
                                        " -mousepad", " -nomouse",  " -snespad"};
constexpr std::array<sv, 2> kClientServer{" -server", " -client"};

template <std::size_t N>
void appendChoice(std::vector<std::string>& out, const std::array<sv, N>& texts, int choice) {
    if (choice >= 0 && static_cast<std::size_t>(choice) < N &&
        !texts[static_cast<std::size_t>(choice)].empty()) {
        out.emplace_back(texts[static_cast<std::size_t>(choice)]);
    }
}

void appendIf(std::vector<std::string>& out, bool condition, sv text) {
    if (condition) {
        out.emplace_back(text);
    }
}

} // namespace

std::vector<std::string> switches(const OptionSet& o) {
    std::vector<std::string> out;
    appendChoice(out, kRes, o.value(Id::cbResMode));
    appendIf(out, !o.checked(Id::chVESADetection), " -novesa");
    appendIf(out, o.checked(Id::chSpriteCollision), " -sprcol");
    appendIf(out, !o.checked(Id::chVideoCache), " -nocache");
    appendIf(out, o.checked(Id::chPalRaster), " -palraster");
    appendIf(out, o.checked(Id::chBorderRaster), " -border");
    appendIf(out, o.checked(Id::chLCDPersistence), " -lcd");
    appendChoice(out, kVsync, o.value(Id::rgVsync));
    appendChoice(out, kVideoMode, o.value(Id::rgVideoMode));
    const int frameSkip = o.value(Id::tbFrameSkip);
    appendIf(out, frameSkip >= 1, " -frame " + std::to_string(frameSkip));

    appendChoice(out, kEmuMode, o.value(Id::rgEmuMode));

    const int controller = o.value(Id::rgController);
    appendChoice(out, kController, controller);
    if (controller == 2) {
        const int sensitivity = o.value(Id::cbJoySensitivity);
        appendIf(out, sensitivity >= 0, " -joysens " + std::to_string(sensitivity + 1));
    } else if (controller == 6) {
        const int port = o.value(Id::cbSNESPort);
        appendIf(out, port >= 0, " -lpt " + std::to_string(port + 1));
    }

    appendIf(out, !o.checked(Id::chMMX), " -nommx");
    appendIf(out, !o.checked(Id::chPentium), " -nopentium");
    appendIf(out, !o.checked(Id::chNoEnter), " -noenter");
    appendIf(out, !o.checked(Id::chSound), " -nosound");
    appendIf(out, o.checked(Id::chSpeaker), " -speaker");
    appendIf(out, o.checked(Id::chJapanese), " -jap");
    appendIf(out, o.checked(Id::chCPUGraph), " -cpugraph");
    appendIf(out, o.checked(Id::chPSGGraph), " -psggraph");
    appendIf(out, o.checked(Id::ch3D), " -3d");
    appendIf(out, o.checked(Id::ch3Dto2D), " -2d");

    if (o.checked(Id::chEnableComms)) {
        appendChoice(out, kClientServer, o.value(Id::rgClientServer));
        const int port = o.value(Id::cbCommPort);
        appendIf(out, port >= 0, " -com " + std::to_string(port + 1));
    }
    return out;
}

CommandLine buildCommandLine(const OptionSet& options, const std::string& emulatorPath,
                             const std::string& romPath) {
    CommandLine line;
    line.arguments = {emulatorPath, romPath};
    line.text = emulatorPath + " " + romPath;
    for (const std::string& s : switches(options)) {
        line.text += s;
        // Each switch is its words: " -res 1" gives "-res" and "1".
        std::size_t pos = 0;
        while (pos < s.size()) {
            const std::size_t start = s.find_first_not_of(' ', pos);
            if (start == std::string::npos) {
                break;
            }
            const std::size_t end = s.find(' ', start);
            line.arguments.push_back(s.substr(start, end - start));
            pos = end;
        }
    }
    return line;
}

} // namespace vodavav
