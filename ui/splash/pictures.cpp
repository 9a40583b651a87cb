#include "pictures.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

// The drawings live in a static library: nothing else pulls their resource data into the
// program, so register it by hand (and outside any namespace, as the generated name requires).
static void registerPictures() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    static_cast<void>(registered);
}

namespace vodavav {

namespace {

QString pictureFile(QStringView name) {
    registerPictures();
    return QStringLiteral(":/%1.svg").arg(name);
}

QPixmap render(QSvgRenderer& renderer, QSize size, qreal dpr) {
    QImage image(qRound(size.width() * dpr), qRound(size.height() * dpr),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    }
    image.setDevicePixelRatio(dpr);
    return QPixmap::fromImage(std::move(image));
}

} // namespace

QPixmap picture(QStringView name, QSize size, qreal dpr) {
    if (size.isEmpty() || dpr <= 0) {
        return {};
    }
    const QString file = pictureFile(name);
    if (!QFile::exists(file)) {
        return {};
    }
    QSvgRenderer renderer(file);
    if (!renderer.isValid()) {
        return {};
    }
    return render(renderer, size, dpr);
}

QIcon programIcon() {
    // One reading of the drawing for all its sizes.
    QSvgRenderer renderer(pictureFile(u"icon"));
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(render(renderer, QSize(side, side), 1.0));
    }
    return icon;
}

} // namespace vodavav
