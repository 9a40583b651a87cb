#include "picturebutton.h"

#include "pictures.h"

#include <QMouseEvent>
#include <QPainter>

namespace vodavav {

PictureButton::PictureButton(const Drawing& drawing, const QString& accessibleName, QWidget* parent)
    : QWidget(parent), m_picture(drawing.name.toString()), m_pictureSize(drawing.size) {
    setAccessibleName(accessibleName);
    setCursor(Qt::PointingHandCursor);
}

void PictureButton::paintEvent(QPaintEvent*) {
    // Drawn for the screen the widget is on, so it stays sharp at every scale.
    const qreal dpr = devicePixelRatioF();
    if (m_rendered.isNull() || m_rendered.devicePixelRatio() != dpr) {
        m_rendered = vodavav::picture(m_picture, m_pictureSize, dpr);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_rendered);
}

void PictureButton::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click) {
        emit clicked();
    }
}

} // namespace vodavav
