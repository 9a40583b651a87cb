#pragma once

#include <QSize>
#include <QString>
#include <QStringView>

#include <array>
#include <vector>

namespace vodavav {

// One of our drawings (resources/NAME.svg) at the size, in logical pixels, a window shows it.
struct Drawing {
    QStringView name;
    QSize size;
};

inline constexpr Drawing kLogoDrawing{u"logo", QSize(144, 173)};
inline constexpr Drawing kLaunchDrawing{u"launch", QSize(135, 41)};
inline constexpr Drawing kExitDrawing{u"exit", QSize(72, 41)};
inline constexpr Drawing kSplashDrawing{u"splash", QSize(288, 345)};
inline constexpr QStringView kIconName = u"icon";
// The sides of the program's icon, the sizes window managers and taskbars ask for. Larger ones
// would be left out on the way to the window system.
inline constexpr std::array<int, 6> kIconSides{16, 24, 32, 48, 64, 128};

// Drawing an SVG takes longer than the rest of the window's first paint, so the pictures are
// drawn once, when the program is built, for screens of these device pixel ratios; a screen of
// another ratio has them scaled from these.
inline constexpr std::array<int, 2> kBakedRatios{1, 2};

struct BakedPicture {
    QStringView name;
    QSize size;
    int ratio;
};

// Every picture drawn when the program is built: each drawing at each baked ratio, and the icon
// at each of its sides at ratio 1.
std::vector<BakedPicture> bakedPictures();

// The file a baked picture is kept in: "logo-144x173@2.argb". It holds the picture's pixels as
// drawPicture (drawpicture.h) makes them, row after row with nothing between
// (QImage::Format_ARGB32_Premultiplied, in the byte order of the machine that builds and runs the
// program): even the smallest PNG takes longer to decode than the drawing takes to draw, and the
// resources compress these well.
QString bakedFileName(QStringView name, QSize size, int ratio);

} // namespace vodavav
