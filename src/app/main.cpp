#include "app/startroad/Program.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

int main(int argc, char** argv)
{
    startProgramEarly();
    QApplication app(argc, argv);
    // Read as the PNG it is: asking every picture-format plugin about it would hold up the first window.
    QImageReader icon(QStringLiteral(":/icons/navu-photo-frame.png"), "png");
    icon.setAutoDetectImageFormat(false);
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon.read())));
    return runProgram(app);
}
