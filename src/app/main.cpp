#include "app/startroad/Program.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/navu-photo-frame.png")));
    return runProgram(app);
}
