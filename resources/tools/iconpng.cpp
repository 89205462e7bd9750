// Writes an .ico file's image as a PNG of SIZE x SIZE, scaled with nearest-neighbour sampling,
// for the desktop's icon theme.
//   iconpng ICO SIZE PNG
#include "pictures/iconfile.h"

#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: iconpng ICO SIZE PNG\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "iconpng: cannot read %s\n", argv[1]);
        return 1;
    }
    QString error;
    const auto icon = decodeIconFile(in.readAll(), &error);
    if (!icon) {
        std::fprintf(stderr, "iconpng: %s: %s\n", argv[1], qPrintable(error));
        return 1;
    }
    const int size = QByteArray(argv[2]).toInt();
    const QImage scaled = icon->image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (size <= 0 || !scaled.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "iconpng: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
