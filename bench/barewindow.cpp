// The yardstick for start-up: a Qt widget window of the blackboard's size showing the same text,
// today's date top to bottom at the same size, in RocknRoll One as the system has it (for Wine,
// from the host's fonts-rocknroll), or where a system has no faces (a browser) in the date's face
// the build makes, carried as a resource.
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDate today = QDate::currentDate();
    const QString weekdays = QStringLiteral("月火水木金土日");
    QLabel window(QStringLiteral("%1\n月\n%2\n日\n(%3)")
                      .arg(today.month())
                      .arg(today.day())
                      .arg(weekdays[today.dayOfWeek() - 1]));
    window.setWindowTitle(QStringLiteral("bare"));
    window.setAlignment(Qt::AlignRight | Qt::AlignTop);
    QStringList families {QStringLiteral("RocknRoll One")};
    for (const QString &face : QDir(QStringLiteral(":/faces")).entryList())
        families += QFontDatabase::applicationFontFamilies(
            QFontDatabase::addApplicationFont(QStringLiteral(":/faces/") + face));
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(64);
    window.setFont(font);
    window.setFixedSize(641, 449);
    window.show();
    return app.exec();
}
