// bake_pictures SVG_DIR OUT_DIR
//
// Draws every picture the windows show, at the sizes and device pixel ratios they are baked for,
// from SVG_DIR/NAME.svg into files of pixels in OUT_DIR (see bakedFileName), and lists them in
// OUT_DIR/baked.qrc under the prefix "/baked". Run by the build; the program reads the files
// instead of drawing them.
#include "drawings.h"
#include "drawpicture.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cstdio>

namespace {

int fail(const QString& what) {
    std::fprintf(stderr, "bake_pictures: %s\n", qPrintable(what));
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bake_pictures SVG_DIR OUT_DIR\n");
        return 2;
    }
    // Drawing needs no display: the build may run where there is none.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir svgDir(QString::fromLocal8Bit(argv[1]));
    const QDir outDir(QString::fromLocal8Bit(argv[2]));
    if (!outDir.mkpath(QStringLiteral("."))) {
        return fail(QStringLiteral("cannot make the directory %1").arg(outDir.path()));
    }

    QByteArray list = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/baked\">\n";
    for (const vodavav::BakedPicture& baked : vodavav::bakedPictures()) {
        const QString svg = svgDir.filePath(baked.name.toString() + QStringLiteral(".svg"));
        QSvgRenderer renderer(svg);
        if (!renderer.isValid()) {
            return fail(QStringLiteral("cannot read the drawing %1").arg(svg));
        }
        const QString name = vodavav::bakedFileName(baked.name, baked.size, baked.ratio);
        const QImage image = vodavav::drawPicture(renderer, baked.size, baked.ratio);
        const QByteArrayView pixels(image.constBits(), image.sizeInBytes());
        QSaveFile file(outDir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(pixels.data(), pixels.size()) != pixels.size() || !file.commit()) {
            return fail(
                QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
        }
        list += "    <file>" + name.toUtf8() + "</file>\n";
    }
    list += "</qresource>\n</RCC>\n";

    const QString listName = outDir.filePath(QStringLiteral("baked.qrc"));
    QSaveFile listFile(listName);
    if (!listFile.open(QIODevice::WriteOnly) || listFile.write(list) != list.size() ||
        !listFile.commit()) {
        return fail(QStringLiteral("cannot write %1: %2").arg(listName, listFile.errorString()));
    }
    return 0;
}
