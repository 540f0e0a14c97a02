#include "app/SKTWindowController.h"
#include "canvas/SKTDocument.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("NAVU Photo Frame"));
    SKTDocument document;
    SKTWindowController window(&document);
    window.show();
    return app.exec();
}
