#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QStringView>

namespace vodavav {

// One of our drawings ("logo", "launch", "exit", "splash", "icon"), rendered at exactly `size`
// logical pixels for a screen of device pixel ratio `dpr`. The drawings sit on a whole-pixel
// grid, so they stay sharp at every whole ratio. A name we do not have gives a null pixmap.
QPixmap picture(QStringView name, QSize size, qreal dpr);

// The program's icon, at the sizes window managers and taskbars ask for.
QIcon programIcon();

} // namespace vodavav
