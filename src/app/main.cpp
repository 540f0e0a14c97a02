#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("NAVU Photo Frame"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("NAVU Photo Frame"));
    window.resize(1200, 800);
    window.show();
    return app.exec();
}
