// The parts of the system interface that are the same on every system.
#include "system/system.h"

namespace os {

std::optional<QByteArray> OpenFile::read(qint64 limit, QString *error)
{
    QByteArray bytes(static_cast<qsizetype>(limit), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const qint64 n = readSome(bytes.data() + got, bytes.size() - got, error);
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    return bytes;
}

QDate today()
{
    return QDate::currentDate();
}

} // namespace os
