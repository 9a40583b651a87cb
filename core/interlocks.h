#pragma once

#include "options.h"

namespace vodavav {

class OptionSet;

// The reactions that keep the options consistent. Each runs right after its control's value
// really changed, and only then.
namespace interlocks {

void chPalRasterClick(OptionSet& options);    // R1
void chBorderRasterClick(OptionSet& options); // R2
void chPSGGraphClick(OptionSet& options);     // R3
void rgControllerClick(OptionSet& options);   // R4
void chEnableCommsClick(OptionSet& options);  // R5
void tbFrameSkipChange(OptionSet& options);   // R6

// Runs the reaction that belongs to id, if it has one.
void react(OptionSet& options, Id id);

} // namespace interlocks
} // namespace vodavav
