#include "tfrmsplash.h"

#include "drawings.h"
#include "pictures.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>
#include <utility>

namespace vodavav {

namespace {

constexpr QRect image1Geometry{0, 0, 313, 393};

constexpr char16_t enterCharacter = 13;
constexpr char16_t escapeCharacter = 27;
constexpr char16_t spaceCharacter = 32;

// The character a key press types. Some platforms send no text for Escape or Enter; their
// characters are still the ones the keys stand for.
char16_t typedCharacter(const QKeyEvent& event) {
    if (event.text().size() == 1) {
        return event.text().front().unicode();
    }
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return enterCharacter;
    case Qt::Key_Escape:
        return escapeCharacter;
    case Qt::Key_Space:
        return spaceCharacter;
    default:
        return 0;
    }
}

} // namespace

TfrmSplash::TfrmSplash(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_image1(new QLabel(this)) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("splach screen"));
    setFixedSize(clientSize);

    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(image1Geometry);
    m_image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image1->installEventFilter(this);
    // The picture is drawn when the window is first shown: most runs never show it.
}

void TfrmSplash::setBeforeShow(std::function<void(QWidget*)> beforeShow) {
    m_beforeShow = std::move(beforeShow);
}

int TfrmSplash::showModal() {
    if (!m_place) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        m_place = centredPosition(screen ? screen->geometry() : QRect(), size());
    }
    move(*m_place);
    renderPicture();
    if (m_beforeShow) {
        m_beforeShow(this);
    }
    return exec();
}

QPoint TfrmSplash::centredPosition(const QRect& screen, QSize window) {
    const int left = std::max(0, (screen.width() - window.width()) / 2);
    const int top = std::max(0, (screen.height() - window.height()) / 2);
    return screen.topLeft() + QPoint(left, top);
}

void TfrmSplash::keyPressEvent(QKeyEvent* event) {
    // Not QDialog's own handling: it would also close on Escape alone and press default
    // buttons on Enter, while exactly Enter, Escape and Space close this window.
    FormKeyPress(event);
}

void TfrmSplash::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Window managers that skip taskbar-less windows when giving focus would leave the keys
    // that close the window with nobody: ask for it once the window is mapped.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (isVisible()) {
                activateWindow();
            }
        },
        Qt::QueuedConnection);
}

bool TfrmSplash::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_image1 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // A click: the left button let go over the picture it was pressed on.
        if (mouse->button() == Qt::LeftButton &&
            m_image1->rect().contains(mouse->position().toPoint())) {
            Image1Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmSplash::renderPicture() {
    // Drawn for the screen the window shows on, so it stays sharp there.
    const qreal dpr = devicePixelRatioF();
    if (m_image1->pixmap().isNull() || m_image1->pixmap().devicePixelRatio() != dpr) {
        m_image1->setPixmap(picture(kSplashDrawing.name, kSplashDrawing.size, dpr));
    }
}

void TfrmSplash::Image1Click() {
    close();
}

void TfrmSplash::FormKeyPress(QKeyEvent* event) {
    switch (typedCharacter(*event)) {
    case enterCharacter:
    case escapeCharacter:
    case spaceCharacter:
        event->accept();
        close();
        break;
    default:
        event->ignore();
        break;
    }
}

} // namespace vodavav
