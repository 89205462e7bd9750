#include "pictures/builtin.h"

#include <QFile>

IconFileImage builtInPicture(const QString &fileName)
{
    QFile file(QStringLiteral(":/pictures/") + fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decodeIconFile(file.readAll()).value_or(IconFileImage {});
}
