#include "appearance.h"

#include "vemoxstyle.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>

namespace vodavav {

namespace {

const QString kFamily = QStringLiteral("MS Sans Serif");
const QString kWineFont = QStringLiteral("/usr/share/wine/fonts/ms_sans_serif.ttf");

// Disabled text must stay readable on the dark blue yet look dimmed.
const QColor kDisabledText{150, 170, 180};

void setForeground(QPalette& p, QPalette::ColorRole role, const QColor& colour) {
    p.setColor(QPalette::Active, role, colour);
    p.setColor(QPalette::Inactive, role, colour);
    p.setColor(QPalette::Disabled, role, kDisabledText);
}

} // namespace

void useVemoxStyle() {
    QApplication::setStyle(new VemoxStyle);
}

QFont windowFont() {
    // Fontconfig rejects the bitmap-strike file, but Qt loads it for this process.
    static const bool loaded =
        QFontDatabase::families().contains(kFamily) ||
        (QFile::exists(kWineFont) && QFontDatabase::addApplicationFont(kWineFont) >= 0);
    QFont font;
    font.setFamilies(loaded ? QStringList{kFamily}
                            : QStringList{QStringLiteral("Liberation Sans"),
                                          QStringLiteral("Tahoma"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

QPalette windowPalette(const QPalette& base) {
    QPalette p = base;
    p.setColor(QPalette::Window, kWindowColour);
    // The etched lines of the group boxes.
    p.setColor(QPalette::Light, Qt::white);
    p.setColor(QPalette::Dark, QColor(128, 128, 128));
    setForeground(p, QPalette::WindowText, Qt::white);
    return p;
}

QPalette listPalette(const QPalette& base) {
    QPalette p = base;
    for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window}) {
        p.setColor(role, kListColour);
    }
    for (const QPalette::ColorRole role :
         {QPalette::Text, QPalette::ButtonText, QPalette::WindowText}) {
        setForeground(p, role, Qt::white);
    }
    return p;
}

QPalette plainListPalette(const QPalette& base) {
    QPalette p = base;
    p.setColor(QPalette::Button, base.color(QPalette::Base));
    return p;
}

} // namespace vodavav
