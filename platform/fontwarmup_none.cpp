#include "fontwarmup.h"

namespace vodavav {

// The system reads its fonts itself, as it needs them.
FontWarmUp::FontWarmUp() = default;

FontWarmUp::~FontWarmUp() = default;

void FontWarmUp::wait() {}

} // namespace vodavav
