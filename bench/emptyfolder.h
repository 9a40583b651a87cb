#pragma once

#include <string>

namespace vodavav::bench {

// An empty temporary directory, removed with the object.
class EmptyFolder {
public:
    EmptyFolder();
    ~EmptyFolder();
    EmptyFolder(const EmptyFolder&) = delete;
    EmptyFolder& operator=(const EmptyFolder&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace vodavav::bench
