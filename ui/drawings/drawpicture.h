#pragma once

#include <QImage>
#include <QSize>

class QSvgRenderer;

namespace vodavav {

// The drawing `renderer` holds, drawn at exactly `size` logical pixels for a screen of device
// pixel ratio `dpr`: what the build bakes (see drawings.h).
QImage drawPicture(QSvgRenderer& renderer, QSize size, qreal dpr);

} // namespace vodavav
