#include "messageboxes.h"

#include "launcher.h"
#include "taskbar.h"

#include <QApplication>
#include <QMessageBox>

namespace vodavav {

namespace {

void show(QMessageBox::Icon icon, const std::string& text) {
    const auto title = QString::fromUtf8(kApplicationTitle.data(),
                                         static_cast<qsizetype>(kApplicationTitle.size()));
    QMessageBox box(icon, title,
                    QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                    QMessageBox::Ok, QApplication::activeWindow());
    hideFromTaskbar(box);
    box.exec();
}

} // namespace

void MessageBoxes::message(const std::string& text) {
    show(QMessageBox::NoIcon, text);
}

void MessageBoxes::error(const std::string& text) {
    show(QMessageBox::Critical, text);
}

} // namespace vodavav
