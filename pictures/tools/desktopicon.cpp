// Writes a picture of the program as a desktop icon, once per size, in an icon theme's layout:
//   orvdesktopicon <picture key> <theme folder> <icon name> <size>...
// writes <theme folder>/<size>x<size>/apps/<icon name>.png. Run it under the offscreen platform.

#include "OrvPictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

namespace {

bool showsSomething(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).alpha() != 0)
                return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    QTextStream errors(stderr);
    if (arguments.size() < 5) {
        errors << "usage: orvdesktopicon <picture key> <theme folder> <icon name> <size>...\n";
        return 2;
    }
    const QString key = arguments.at(1);
    const QIcon picture = OrvPictures::icon(key);
    if (picture.isNull()) {
        errors << "no picture is named " << key << "\n";
        return 1;
    }
    const QDir theme(arguments.at(2));
    const QString name = arguments.at(3);
    for (const QString& sizeText : arguments.mid(4)) {
        bool isNumber = false;
        const int size = sizeText.toInt(&isNumber);
        if (!isNumber || size <= 0) {
            errors << "not an icon size: " << sizeText << "\n";
            return 2;
        }
        const QImage image = picture.pixmap(QSize(size, size), 1.0).toImage();
        // A desktop shows an empty or wrongly sized icon without complaint; stop the build instead.
        if (image.size() != QSize(size, size) || !showsSomething(image)) {
            errors << "the picture " << key << " did not draw at " << size << "x" << size << "\n";
            return 1;
        }
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString file = theme.filePath(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
        if (!theme.mkpath(folder) || !image.save(file, "PNG")) {
            errors << "cannot write " << file << "\n";
            return 1;
        }
    }
    return 0;
}
