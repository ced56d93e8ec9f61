// The yardstick for the program's start-up and memory: a plain Qt window of
// the settings window's size, started the same way. With "--text" it also shows
// one line of text, so what any window with text pays (the font database,
// fontconfig, FreeType and HarfBuzz) can be told apart from the program's own
// costs.
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(520, 560);
    if (QApplication::arguments().contains(QStringLiteral("--text"))) {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(new QLabel(QStringLiteral("Nudgewatch"), &window));
    }
    window.show();
    return app.exec();
}
