#include "fontwarmup.h"

#include <fontconfig/fontconfig.h>

namespace vodavav {

// FcInit loads the configuration once per process; Qt's own calls find it loaded.
FontWarmUp::FontWarmUp() : m_thread([] { FcInit(); }) {}

FontWarmUp::~FontWarmUp() {
    wait();
}

void FontWarmUp::wait() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

} // namespace vodavav
