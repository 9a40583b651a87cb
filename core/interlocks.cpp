#include "interlocks.h"

#include "optionset.h"

namespace vodavav::interlocks {

void chPalRasterClick(OptionSet& options) {
    if (options.checked(Id::chPalRaster)) {
        options.setValue(Id::rgVideoMode, 1);
        options.setEnabled(Id::rgVideoMode, false);
    } else {
        options.setEnabled(Id::rgVideoMode, true);
    }
}

void chBorderRasterClick(OptionSet& options) {
    if (options.checked(Id::chBorderRaster)) {
        options.setValue(Id::rgVideoMode, 1);
        options.setEnabled(Id::rgVideoMode, false);
        options.setChecked(Id::chPalRaster, true);
        options.setEnabled(Id::chPalRaster, false);
    } else {
        // Palette effects stay on, and keep the video mode forced, until unchecked by hand.
        options.setEnabled(Id::chPalRaster, true);
    }
}

void chPSGGraphClick(OptionSet& options) {
    if (options.checked(Id::chPSGGraph)) {
        options.setChecked(Id::chVideoCache, false);
        options.setEnabled(Id::chVideoCache, false);
    } else {
        options.setEnabled(Id::chVideoCache, true);
    }
}

void rgControllerClick(OptionSet& options) {
    constexpr int kJoystick = 2;
    constexpr int kSnesPad = 6;
    const int controller = options.value(Id::rgController);
    options.setEnabled(Id::cbJoySensitivity, controller == kJoystick);
    options.setEnabled(Id::cbSNESPort, controller == kSnesPad);
}

void chEnableCommsClick(OptionSet& options) {
    const bool on = options.checked(Id::chEnableComms);
    options.setEnabled(Id::rgClientServer, on);
    options.setEnabled(Id::cbCommPort, on);
}

void tbFrameSkipChange(OptionSet& options) {
    options.setFrameSkipLabel(options.value(Id::tbFrameSkip));
}

void react(OptionSet& options, Id id) {
    switch (id) {
    case Id::chPalRaster:
        chPalRasterClick(options);
        break;
    case Id::chBorderRaster:
        chBorderRasterClick(options);
        break;
    case Id::chPSGGraph:
        chPSGGraphClick(options);
        break;
    case Id::rgController:
        rgControllerClick(options);
        break;
    case Id::chEnableComms:
        chEnableCommsClick(options);
        break;
    case Id::tbFrameSkip:
        tbFrameSkipChange(options);
        break;
    default:
        break;
    }
}

} // namespace vodavav::interlocks
