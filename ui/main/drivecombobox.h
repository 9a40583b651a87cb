#pragma once

#include <QComboBox>

#include <string>
#include <vector>

namespace vodavav {

// The drive list: one entry per volume (a mount point). It shows the volume that holds the
// current directory and remembers the last directory visited on each volume in this run.
class DriveComboBox : public QComboBox {
    Q_OBJECT
public:
    DriveComboBox(std::vector<std::string> volumes, QWidget* parent);

    // Shows the volume holding directory, which becomes the last one visited there.
    void showDirectory(const std::string& directory);

signals:
    // The user chose a volume: the directory to enter on it.
    void driveChosen(const std::string& directory);

private:
    int volumeHolding(const std::string& directory) const;

    std::vector<std::string> m_volumes;
    std::vector<std::string> m_lastVisited;
};

} // namespace vodavav
