#include "pictures.h"

#include "drawings.h"

#include <QFile>
#include <QResource>
#include <QSvgRenderer>

#include <algorithm>
#include <cstring>

// The drawings live in a static library: nothing else pulls their resource data into the
// program, so register it by hand (and outside any namespace, as the generated name requires).
static void registerPictures() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        Q_INIT_RESOURCE(baked);
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

// The picture as drawn when the program was built, or a null image where it was not.
QImage baked(QStringView name, QSize size, qreal dpr) {
    const auto ratio = std::find(kBakedRatios.begin(), kBakedRatios.end(), dpr);
    if (ratio == kBakedRatios.end()) {
        return {};
    }
    registerPictures();
    const QResource file(QStringLiteral(":/baked/") + bakedFileName(name, size, *ratio));
    QImage image(size * *ratio, QImage::Format_ARGB32_Premultiplied);
    const QByteArray pixels = file.uncompressedData();
    if (image.isNull() || pixels.size() != image.sizeInBytes()) {
        return {};
    }
    std::memcpy(image.bits(), pixels.constData(), pixels.size());
    image.setDevicePixelRatio(dpr);
    return image;
}

} // namespace

QPixmap picture(QStringView name, QSize size, qreal dpr) {
    if (size.isEmpty() || dpr <= 0) {
        return {};
    }
    if (QImage image = baked(name, size, dpr); !image.isNull()) {
        return QPixmap::fromImage(std::move(image));
    }
    const QString file = pictureFile(name);
    if (!QFile::exists(file)) {
        return {};
    }
    QSvgRenderer renderer(file);
    if (!renderer.isValid()) {
        return {};
    }
    return QPixmap::fromImage(drawPicture(renderer, size, dpr));
}

QIcon programIcon() {
    QIcon icon;
    for (const int side : kIconSides) {
        icon.addPixmap(picture(kIconName, QSize(side, side), 1.0));
    }
    return icon;
}

} // namespace vodavav
