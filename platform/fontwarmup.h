#pragma once

#include <thread>

namespace vodavav {

// Reads the system's font configuration on a thread of its own while the program starts, so
// that the first window to ask for a font finds it read: with fontconfig the reading takes
// longer than building the whole main window. Where the system has nothing to read ahead, it
// does nothing.
class FontWarmUp {
public:
    FontWarmUp();
    // Waits for the reading.
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

    // Returns once the reading is done. Call it before the first window is built: a window that
    // asked while the reading went on would read the configuration a second time.
    void wait();

private:
    std::thread m_thread;
};

} // namespace vodavav
