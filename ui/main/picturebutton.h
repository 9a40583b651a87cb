#pragma once

#include "drawings.h"

#include <QPixmap>
#include <QString>
#include <QWidget>

namespace vodavav {

// One of our drawings shown from the widget's top left corner (cut where the widget is smaller)
// that reports a click: the left button let go over the picture it was pressed on.
class PictureButton : public QWidget {
    Q_OBJECT
public:
    PictureButton(const Drawing& drawing, const QString& accessibleName, QWidget* parent);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString m_picture;
    QSize m_pictureSize;
    QPixmap m_rendered;
    bool m_pressed = false;
};

} // namespace vodavav
