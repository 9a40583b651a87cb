#include "drivecombobox.h"

#include "filelistmodel.h"

#include <QSignalBlocker>

#include <filesystem>
#include <system_error>

namespace vodavav {

namespace {

bool holds(const std::string& volume, const std::string& directory) {
    if (directory.compare(0, volume.size(), volume) != 0) {
        return false;
    }
    return volume.back() == '/' || directory.size() == volume.size() ||
           directory[volume.size()] == '/';
}

} // namespace

DriveComboBox::DriveComboBox(std::vector<std::string> volumes, QWidget* parent)
    : QComboBox(parent), m_volumes(std::move(volumes)), m_lastVisited(m_volumes.size()) {
    for (const std::string& volume : m_volumes) {
        addItem(displayName(volume));
    }
    connect(this, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i < 0) {
            return;
        }
        const auto k = static_cast<std::size_t>(i);
        emit driveChosen(m_lastVisited[k].empty() ? m_volumes[k] : m_lastVisited[k]);
    });
}

int DriveComboBox::volumeHolding(const std::string& directory) const {
    int best = -1;
    for (std::size_t i = 0; i < m_volumes.size(); ++i) {
        if (holds(m_volumes[i], directory) &&
            (best < 0 || m_volumes[i].size() > m_volumes[static_cast<std::size_t>(best)].size())) {
            best = static_cast<int>(i);
        }
    }
    return best;
}

void DriveComboBox::showDirectory(const std::string& directory) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(directory, ec);
    const int i = volumeHolding(ec ? directory : absolute.lexically_normal().native());
    if (i >= 0) {
        m_lastVisited[static_cast<std::size_t>(i)] = directory;
    }
    const QSignalBlocker blocker(this);
    setCurrentIndex(i);
}

} // namespace vodavav
