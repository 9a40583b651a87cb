#include "drawpicture.h"

#include <QPainter>
#include <QSvgRenderer>

namespace vodavav {

QImage drawPicture(QSvgRenderer& renderer, QSize size, qreal dpr) {
    QImage image(qRound(size.width() * dpr), qRound(size.height() * dpr),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    }
    image.setDevicePixelRatio(dpr);
    return image;
}

} // namespace vodavav
