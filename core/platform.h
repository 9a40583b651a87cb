#pragma once

#include "commandline.h"

#include <string>

namespace vodavav {

struct StartResult {
    bool started = false;
    std::string reason; // the system's reason when not started
};

// What the launcher asks of the operating system. One implementation per system lives in
// platform/; tests hand in a fake.
class Platform {
public:
    virtual ~Platform() = default;
    // The ROM path to hand over: on Linux the on-disk name of the file the path stands for.
    virtual std::string shortForm(const std::string& path) = 0;
    // Starts the program detached, never waiting for it.
    virtual StartResult start(const CommandLine& line, const std::string& workingDirectory) = 0;
    // The running program's own file.
    virtual std::string programPath() = 0;
};

// The simple message box and the error box, both modal, with the application title.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void message(const std::string& text) = 0;
    virtual void error(const std::string& text) = 0;
};

} // namespace vodavav
