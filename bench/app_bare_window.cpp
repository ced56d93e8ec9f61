// The yardstick for the program's start-up and memory: a plain Qt window of
// the settings window's size, started the same way.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(520, 560);
    window.show();
    return app.exec();
}
