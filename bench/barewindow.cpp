// The yardstick for start-up: an empty Qt widget window of the blackboard's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.setFixedSize(641, 449);
    window.show();
    return app.exec();
}
