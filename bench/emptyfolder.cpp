#include "emptyfolder.h"

#include "temporarydirectory.h"

#include <filesystem>
#include <system_error>

namespace vodavav::bench {

EmptyFolder::EmptyFolder() : m_path(makeTemporaryDirectory("vodavav-empty")) {}

EmptyFolder::~EmptyFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

} // namespace vodavav::bench
