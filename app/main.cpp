#include "at.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTranslator translator;
    translator.load(QStringLiteral(":/tran/en_tr.qm"));
    app.installTranslator(&translator);
    AT window;
    window.show();
    return app.exec();
}
