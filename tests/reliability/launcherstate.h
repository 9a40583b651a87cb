#pragma once

#include "launcher.h"
#include "settings.h"

#include <string>

namespace vodavav::reliability {

// Everything a run of the launcher carries from its settings, one "name=value" line each:
// every setting, every enabled flag and the labels. Two launchers in the same state give the
// same text, and a difference reads as a diff.
std::string stateOf(const Launcher& launcher);

// Whether every value is one its control can hold.
std::string valuesOutsideTheirDomain(const Launcher& launcher);

// The window's start-up: the settings loaded, the list prepared, the stored last ROM selected.
// Returns the errors the load reported.
std::vector<std::string> startUp(Launcher& launcher, Settings& settings);

} // namespace vodavav::reliability
