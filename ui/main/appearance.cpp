#include "appearance.h"

#include "vemoxstyle.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>

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

// Whether the window font can be had: Wine's copy loaded for this process (fontconfig rejects
// the bitmap-strike file, but Qt loads it), else one the system has. The file is tried first:
// asking the system means loading its whole font list, which costs more than the rest of the
// start-up.
bool windowFontAvailable() {
    if (QFile::exists(kWineFont)) {
        const int id = QFontDatabase::addApplicationFont(kWineFont);
        if (id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(kFamily)) {
            return true;
        }
    }
    return QFontInfo(QFont(kFamily)).family() == kFamily;
}

} // namespace

void useVemoxStyle() {
    QApplication::setStyle(new VemoxStyle);
}

QFont windowFont() {
    static const bool loaded = windowFontAvailable();
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
