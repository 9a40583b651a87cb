#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <optional>

class QLabel;

namespace vodavav {

// The borderless picture shown at start-up that doubles as the about box. One window is made
// and shown again every time, always at the place it took the first time.
class TfrmSplash : public QDialog {
    Q_OBJECT

public:
    static constexpr QSize clientSize{288, 344};

    explicit TfrmSplash(QWidget* parent = nullptr);

    // Runs before every show, once the window is placed; the owner sets the window's state that
    // must be in place before it is mapped (no taskbar button).
    void setBeforeShow(std::function<void(QWidget*)> beforeShow);

    // Places the window, runs the owner's preparation and shows it modally until it closes.
    int showModal();

    // Where a window of `window` size goes on `screen`: centred, but never left of or above the
    // screen's top left corner.
    static QPoint centredPosition(const QRect& screen, QSize window);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void renderPicture();
    void Image1Click();
    void FormKeyPress(QKeyEvent* event);

    QLabel* m_image1;
    std::optional<QPoint> m_place;
    std::function<void(QWidget*)> m_beforeShow;
};

} // namespace vodavav
