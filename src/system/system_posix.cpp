// The system interface on Linux and other POSIX systems (with what they share with a browser:
// system_posix_shared.cpp).
#include "system/system.h"

#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

#include <climits>

namespace os {

void guardLoading()
{}

QByteArray programDirectory()
{
    // The bytes the kernel gives: a folder whose name is not valid in the locale's encoding
    // (an old archive unpacked with Shift-JIS names) is still this program's folder.
    QByteArray exe(PATH_MAX, Qt::Uninitialized);
    const ssize_t n = ::readlink("/proc/self/exe", exe.data(), static_cast<size_t>(exe.size()));
    if (n > 0 && n < exe.size()) {
        exe.truncate(n);
        const qsizetype slash = exe.lastIndexOf('/');
        if (slash > 0)
            return exe.left(slash);
        if (slash == 0)
            return QByteArrayLiteral("/");
    }
    return QFile::encodeName(QCoreApplication::applicationDirPath());
}

void fatalLine(const QString &line)
{
    reportLine(line);
    ::_exit(1);
}

} // namespace os
