#include "pictures.h"

#include "drawings.h"

#include <QResource>

#include <cmath>
#include <cstring>

// The pictures live in a static library: nothing else pulls their resource data into the
// program, so register it by hand (and outside any namespace, as the generated name requires).
static void registerPictures() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(baked);
        return true;
    }();
    static_cast<void>(registered);
}

namespace vodavav {

namespace {

// The picture as drawn when the program was built, or a null image where it was not.
QImage baked(QStringView name, QSize size, int ratio) {
    registerPictures();
    const QResource file(QStringLiteral(":/baked/") + bakedFileName(name, size, ratio));
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    const QByteArray pixels = file.uncompressedData();
    if (image.isNull() || pixels.size() != image.sizeInBytes()) {
        return {};
    }
    std::memcpy(image.bits(), pixels.constData(), pixels.size());
    return image;
}

QImage scaled(QStringView name, QSize size, qreal dpr) {
    const QSize pixels(qRound(size.width() * dpr), qRound(size.height() * dpr));
    if (dpr == std::round(dpr)) {
        if (QImage image = baked(name, size, static_cast<int>(dpr)); !image.isNull()) {
            return image;
        }
        // The drawings sit on a whole-pixel grid: at a whole ratio every pixel of the plain
        // picture becomes a square of pixels, exactly as the drawing would draw it there.
        const QImage plain = baked(name, size, 1);
        return plain.isNull() ? plain
                              : plain.scaled(pixels, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    // Between whole ratios, the sharpest picture there is, scaled smoothly.
    for (auto ratio = kBakedRatios.rbegin(); ratio != kBakedRatios.rend(); ++ratio) {
        if (const QImage image = baked(name, size, *ratio); !image.isNull()) {
            return image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
    }
    return {};
}

} // namespace

QPixmap picture(QStringView name, QSize size, qreal dpr) {
    if (size.isEmpty() || dpr <= 0) {
        return {};
    }
    QImage image = scaled(name, size, dpr);
    if (image.isNull()) {
        return {};
    }
    image.setDevicePixelRatio(dpr);
    return QPixmap::fromImage(std::move(image));
}

QIcon programIcon() {
    QIcon icon;
    for (const int side : kIconSides) {
        icon.addPixmap(picture(kIconName, QSize(side, side), 1.0));
    }
    return icon;
}

} // namespace vodavav
