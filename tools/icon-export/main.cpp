// Writes a pixel-art icon as the hicolor theme's PNG sizes and a scalable SVG.
//
//     tarnell-icon-export NAME SMALL.xpm LARGE.xpm OUTDIR
//
// SMALL is the 16 px drawing, LARGE the 32 px one. The bigger sizes enlarge
// LARGE by nearest neighbour and the SVG draws its pixels as squares, so every
// size shows the same artwork without smoothing it into a blur.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

namespace {

bool fail(const QString &message)
{
    std::fprintf(stderr, "tarnell-icon-export: %s\n", qPrintable(message));
    return false;
}

bool load(const QString &path, int size, QImage &image)
{
    image = QImage(path, "XPM");
    if (image.isNull())
        return fail(QStringLiteral("cannot read %1").arg(path));
    if (image.size() != QSize(size, size))
        return fail(QStringLiteral("%1 is not %2x%2 pixels").arg(path).arg(size));
    image = image.convertToFormat(QImage::Format_ARGB32);
    return true;
}

bool writePng(const QImage &art, int size, const QString &outDir, const QString &name)
{
    const QString dir = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
    if (!QDir().mkpath(dir))
        return fail(QStringLiteral("cannot create %1").arg(dir));
    // Nearest neighbour: pixel art keeps its hard edges when enlarged.
    const QImage scaled = art.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QString path = dir + '/' + name + QStringLiteral(".png");
    if (!scaled.save(path, "PNG"))
        return fail(QStringLiteral("cannot write %1").arg(path));
    return true;
}

// One rect per horizontal run of a colour; transparent pixels are left out.
bool writeSvg(const QImage &art, const QString &outDir, const QString &name)
{
    const QString dir = outDir + QStringLiteral("/scalable/apps");
    if (!QDir().mkpath(dir))
        return fail(QStringLiteral("cannot create %1").arg(dir));
    const QString path = dir + '/' + name + QStringLiteral(".svg");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("cannot write %1").arg(path));

    QTextStream svg(&file);
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" << art.width()
        << "\" height=\"" << art.height() << "\" viewBox=\"0 0 " << art.width() << ' '
        << art.height() << "\" shape-rendering=\"crispEdges\">\n";
    for (int y = 0; y < art.height(); ++y) {
        int x = 0;
        while (x < art.width()) {
            const QRgb colour = art.pixel(x, y);
            int end = x + 1;
            while (end < art.width() && art.pixel(end, y) == colour)
                ++end;
            const int alpha = qAlpha(colour);
            if (alpha != 0) {
                svg << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << end - x
                    << "\" height=\"1\" fill=\""
                    << QColor(colour).name(QColor::HexRgb).toLower() << '"';
                if (alpha != 255)
                    svg << " fill-opacity=\"" << QString::number(alpha / 255.0, 'f', 3) << '"';
                svg << "/>\n";
            }
            x = end;
        }
    }
    svg << "</svg>\n";
    svg.flush();
    if (svg.status() != QTextStream::Ok || !file.commit())
        return fail(QStringLiteral("cannot write %1").arg(path));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: tarnell-icon-export NAME SMALL.xpm LARGE.xpm OUTDIR\n");
        return 2;
    }
    const QString name = QString::fromLocal8Bit(argv[1]);
    const QString outDir = QString::fromLocal8Bit(argv[4]);
    QImage small;
    QImage large;
    if (!load(QString::fromLocal8Bit(argv[2]), 16, small)
        || !load(QString::fromLocal8Bit(argv[3]), 32, large))
        return 1;

    // 16 px has its own drawing; the rest grow from the 32 px one.
    bool ok = writePng(small, 16, outDir, name);
    for (int size : {32, 48, 64, 128})
        ok = ok && writePng(large, size, outDir, name);
    ok = ok && writeSvg(large, outDir, name);
    return ok ? 0 : 1;
}
