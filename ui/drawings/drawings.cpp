#include "drawings.h"

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

} // namespace vodavav
