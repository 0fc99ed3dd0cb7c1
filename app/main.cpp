#include "at.h"
#include "startup.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    if (const std::optional<int> code = answerInfoOption(argc, argv))
        return *code;
    QApplication app(argc, argv);
    QTranslator translator;
    prepareApplication(app, translator);
    AT window;
    showCentred(window);
    return app.exec();
}
