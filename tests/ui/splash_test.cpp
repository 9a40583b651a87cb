#include "drawings.h"
#include "drawpicture.h"
#include "pictures.h"
#include "tfrmsplash.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QSvgRenderer>
#include <QTest>
#include <QWindow>

#include <cmath>
#include <functional>

using vodavav::TfrmSplash;

Q_DECLARE_METATYPE(Qt::Key)
Q_DECLARE_METATYPE(Qt::MouseButton)

namespace {

// Shows the window modally, runs `whileShown` once it is up and tells whether the window was
// still open afterwards (then closes it, so a window that ignores the action cannot hang the test).
bool stillOpenAfter(TfrmSplash& splash, const std::function<void()>& whileShown) {
    bool open = false;
    QMetaObject::invokeMethod(
        &splash,
        [&] {
            whileShown();
            open = splash.isVisible();
            if (open) {
                splash.reject();
            }
        },
        Qt::QueuedConnection);
    splash.showModal();
    return open;
}

QLabel* image1(TfrmSplash& splash) {
    return splash.findChild<QLabel*>(QStringLiteral("Image1"));
}

QImage pixels(QStringView name, QSize size, qreal dpr) {
    return vodavav::picture(name, size, dpr).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class SplashTest : public QObject {
    Q_OBJECT

private slots:
    void windowShape();
    void placement_data();
    void placement();
    void keys_data();
    void keys();
    void mouse_data();
    void mouse();
    void closeRequestCloses();
    void laterShowsKeepTheFirstPlace();
    void pictures_data();
    void pictures();
    void picturesCutByTheirControls();
    void bakedPicturesAreTheDrawings();
    void unknownPicture();
};

void SplashTest::windowShape() {
    TfrmSplash splash;
    QCOMPARE(splash.objectName(), QStringLiteral("frmSplash"));
    QCOMPARE(splash.windowTitle(), QStringLiteral("splach screen"));
    QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(!splash.isVisible());

    QLabel* image = image1(splash);
    QVERIFY(image);
    QCOMPARE(image->geometry(), QRect(0, 0, 313, 393));
    QCOMPARE(image->alignment(), Qt::AlignLeft | Qt::AlignTop);

    QRect shownGeometry;
    QRect shownFrame;
    QSizeF shownPicture;
    bool modal = false;
    stillOpenAfter(splash, [&] {
        shownPicture = image->pixmap().deviceIndependentSize();
        shownGeometry = splash.geometry();
        shownFrame = splash.frameGeometry();
        modal = QApplication::activeModalWidget() == &splash;
    });
    QCOMPARE(shownPicture, QSizeF(288, 345));
    QCOMPARE(shownGeometry.size(), QSize(288, 344));
    QCOMPARE(shownFrame, shownGeometry);
    QVERIFY(modal);
}

void SplashTest::placement_data() {
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("1024 x 768") << QRect(0, 0, 1024, 768) << QPoint(368, 212);
    QTest::newRow("odd leftover rounds down") << QRect(0, 0, 801, 601) << QPoint(256, 128);
    QTest::newRow("screen smaller both ways") << QRect(0, 0, 200, 200) << QPoint(0, 0);
    QTest::newRow("exactly the window") << QRect(0, 0, 288, 344) << QPoint(0, 0);
    QTest::newRow("only too low") << QRect(0, 0, 1024, 300) << QPoint(368, 0);
    QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << QPoint(2416, 340);
    QTest::newRow("second screen, too small") << QRect(1920, 100, 200, 200) << QPoint(1920, 100);
}

void SplashTest::placement() {
    QFETCH(QRect, screen);
    QFETCH(QPoint, expected);
    QCOMPARE(TfrmSplash::centredPosition(screen, TfrmSplash::clientSize), expected);
}

void SplashTest::keys_data() {
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("closes");
    const Qt::KeyboardModifiers none;
    QTest::newRow("Space") << Qt::Key_Space << none << " " << true;
    QTest::newRow("Enter") << Qt::Key_Return << none << "\r" << true;
    QTest::newRow("keypad Enter") << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier)
                                  << "\r" << true;
    QTest::newRow("Escape") << Qt::Key_Escape << none << "\x1b" << true;
    QTest::newRow("Escape sent without text") << Qt::Key_Escape << none << "" << true;
    QTest::newRow("Shift+Space") << Qt::Key_Space << Qt::KeyboardModifiers(Qt::ShiftModifier) << " "
                                 << true;
    QTest::newRow("letter") << Qt::Key_A << none << "a" << false;
    QTest::newRow("capital letter")
        << Qt::Key_A << Qt::KeyboardModifiers(Qt::ShiftModifier) << "A" << false;
    QTest::newRow("Tab") << Qt::Key_Tab << none << "\t" << false;
    QTest::newRow("Backspace") << Qt::Key_Backspace << none << "\b" << false;
    QTest::newRow("F1") << Qt::Key_F1 << none << "" << false;
}

void SplashTest::keys() {
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, text);
    QFETCH(bool, closes);

    TfrmSplash splash;
    bool consumed = false;
    const bool open = stillOpenAfter(splash, [&] {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(&splash, &press);
        consumed = press.isAccepted();
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(&splash, &release);
    });
    QCOMPARE(open, !closes);
    if (closes) {
        QVERIFY(consumed);
    }
}

void SplashTest::mouse_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("pressAt");
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<bool>("closes");
    QTest::newRow("left click") << Qt::LeftButton << QPoint(140, 170) << QPoint(140, 170) << true;
    QTest::newRow("left click in a corner")
        << Qt::LeftButton << QPoint(287, 343) << QPoint(287, 343) << true;
    QTest::newRow("let go elsewhere on it")
        << Qt::LeftButton << QPoint(10, 10) << QPoint(200, 300) << true;
    QTest::newRow("right click") << Qt::RightButton << QPoint(140, 170) << QPoint(140, 170)
                                 << false;
    QTest::newRow("let go outside")
        << Qt::LeftButton << QPoint(140, 170) << QPoint(-20, 170) << false;
}

void SplashTest::mouse() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, pressAt);
    QFETCH(QPoint, releaseAt);
    QFETCH(bool, closes);

    TfrmSplash splash;
    QLabel* image = image1(splash);
    QVERIFY(image);
    const bool open = stillOpenAfter(splash, [&] {
        QTest::mousePress(image, button, {}, pressAt);
        QTest::mouseRelease(image, button, {}, releaseAt);
    });
    QCOMPARE(open, !closes);
}

void SplashTest::closeRequestCloses() {
    TfrmSplash splash;
    QVERIFY(!stillOpenAfter(splash, [&] { splash.windowHandle()->close(); }));
}

void SplashTest::laterShowsKeepTheFirstPlace() {
    TfrmSplash splash;
    const QPoint first =
        TfrmSplash::centredPosition(QGuiApplication::primaryScreen()->geometry(), splash.size());

    QList<QPoint> placedBeforeShow;
    splash.setBeforeShow([&](QWidget* window) {
        QCOMPARE(window, &splash);
        QVERIFY(!window->isVisible());
        placedBeforeShow.append(window->pos());
    });
    QList<QPoint> shownAt;
    const auto close = [&] {
        shownAt.append(splash.pos());
        QTest::keyClick(&splash, Qt::Key_Escape);
    };

    QVERIFY(!stillOpenAfter(splash, close));
    splash.move(first + QPoint(40, 30));
    QVERIFY(!stillOpenAfter(splash, close));
    QVERIFY(!stillOpenAfter(splash, close));

    QCOMPARE(shownAt, QList<QPoint>({first, first, first}));
    QCOMPARE(placedBeforeShow, shownAt);
}

void SplashTest::pictures_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::newRow("logo") << "logo" << QSize(144, 173);
    QTest::newRow("LAUNCH") << "launch" << QSize(135, 41);
    QTest::newRow("EXIT") << "exit" << QSize(72, 41);
    QTest::newRow("splash") << "splash" << QSize(288, 345);
    QTest::newRow("icon") << "icon" << QSize(64, 64);
    QTest::newRow("smallest icon") << "icon" << QSize(16, 16);
}

void SplashTest::pictures() {
    QFETCH(QString, name);
    QFETCH(QSize, size);

    for (const qreal dpr : {1.0, 1.25, 1.5, 2.0, 2.5, 3.0}) {
        const QPixmap pixmap = vodavav::picture(name, size, dpr);
        QVERIFY(!pixmap.isNull());
        QCOMPARE(pixmap.size(), size * dpr);
        // Exact at whole ratios; between them the pixels round to the nearest whole number.
        const QSizeF logical = pixmap.deviceIndependentSize();
        QVERIFY(qAbs(logical.width() - size.width()) < 1 &&
                qAbs(logical.height() - size.height()) < 1);
        if (dpr == std::round(dpr)) {
            QCOMPARE(logical, QSizeF(size));
        }
    }

    // Whole-pixel drawing: no pixel is a blend of a shape's edge with what lies beside it, and
    // the sharper renderings are the plain one with every pixel enlarged.
    const QImage plain = pixels(name, size, 1.0);
    int painted = 0;
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            const int alpha = qAlpha(plain.pixel(x, y));
            QVERIFY2(alpha == 0 || alpha == 255,
                     qPrintable(QStringLiteral("blended pixel %1, %2").arg(x).arg(y)));
            painted += alpha == 255;
        }
    }
    QVERIFY(painted > 0);
    for (const int scale : {2, 3}) {
        const QImage enlarged =
            plain.scaled(size * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QImage sharp = pixels(name, size, scale);
        sharp.setDevicePixelRatio(1.0);
        QCOMPARE(sharp, enlarged);
    }
}

void SplashTest::picturesCutByTheirControls() {
    // The logo's control shows 161 of its 173 rows: the rest must hold nothing.
    const QImage logo = pixels(u"logo", QSize(144, 173), 1.0);
    for (int y = 161; y < logo.height(); ++y) {
        for (int x = 0; x < logo.width(); ++x) {
            QCOMPARE(qAlpha(logo.pixel(x, y)), 0);
        }
    }
    // The splash fills its borderless window: nothing behind it may show through.
    const QImage splash = pixels(u"splash", QSize(288, 345), 1.0);
    for (int y = 0; y < TfrmSplash::clientSize.height(); ++y) {
        for (int x = 0; x < TfrmSplash::clientSize.width(); ++x) {
            QCOMPARE(qAlpha(splash.pixel(x, y)), 255);
        }
    }
    const QIcon icon = vodavav::programIcon();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.pixmap(QSize(32, 32), 1.0).size(), QSize(32, 32));
}

void SplashTest::bakedPicturesAreTheDrawings() {
    // What the build drew must be what the drawings draw now, pixel for pixel, at every size
    // and ratio the windows show: a stale or wrongly sized file would show another picture.
    // A screen of another whole ratio gets the plain picture enlarged: that must be the
    // drawing too.
    std::vector<vodavav::BakedPicture> shownPictures = vodavav::bakedPictures();
    for (const vodavav::Drawing& drawing : {vodavav::kLogoDrawing, vodavav::kLaunchDrawing,
                                            vodavav::kExitDrawing, vodavav::kSplashDrawing}) {
        shownPictures.push_back({drawing.name, drawing.size, 3});
    }
    for (const vodavav::BakedPicture& shownPicture : shownPictures) {
        const QString what =
            vodavav::bakedFileName(shownPicture.name, shownPicture.size, shownPicture.ratio);
        const QImage shown = pixels(shownPicture.name, shownPicture.size, shownPicture.ratio);
        if (shownPicture.ratio != 3) {
            QVERIFY2(QFile::exists(QStringLiteral(":/baked/") + what), qPrintable(what));
        }
        QSvgRenderer renderer(
            QStringLiteral(VODAVAV_DRAWINGS_DIR "/%1.svg").arg(shownPicture.name));
        QVERIFY2(renderer.isValid(), qPrintable(what));
        const QImage drawn = vodavav::drawPicture(renderer, shownPicture.size, shownPicture.ratio);
        QCOMPARE(shown.devicePixelRatio(), qreal(shownPicture.ratio));
        QVERIFY2(shown == drawn.convertToFormat(shown.format()), qPrintable(what));
    }
    const QIcon icon = vodavav::programIcon();
    for (const int side : vodavav::kIconSides) {
        QCOMPARE(icon.pixmap(QSize(side, side), 1.0).size(), QSize(side, side));
    }
}

void SplashTest::unknownPicture() {
    QVERIFY(vodavav::picture(u"nothing", QSize(10, 10), 1.0).isNull());
    QVERIFY(vodavav::picture(u"logo", QSize(0, 10), 1.0).isNull());
    QVERIFY(vodavav::picture(u"logo", QSize(10, 10), 0.0).isNull());
}

QTEST_MAIN(SplashTest)
#include "splash_test.moc"
