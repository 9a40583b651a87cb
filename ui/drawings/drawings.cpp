#include "drawings.h"

#include <QPainter>
#include <QSvgRenderer>

namespace vodavav {

std::vector<BakedPicture> bakedPictures() {
    std::vector<BakedPicture> baked;
    for (const Drawing& drawing : {kLogoDrawing, kLaunchDrawing, kExitDrawing, kSplashDrawing}) {
        for (const int ratio : kBakedRatios) {
            baked.push_back({drawing.name, drawing.size, ratio});
        }
    }
    for (const int side : kIconSides) {
        baked.push_back({kIconName, QSize(side, side), 1});
    }
    return baked;
}

QString bakedFileName(QStringView name, QSize size, int ratio) {
    return QStringLiteral("%1-%2x%3@%4.argb")
        .arg(name)
        .arg(size.width())
        .arg(size.height())
        .arg(ratio);
}

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
