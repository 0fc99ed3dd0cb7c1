#include "at.h"
#include "outputfile.h"
#include "startup.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    OutputFile::protectStandardStreams(); // a file saved into a FIFO whose reader left fails
    if (const std::optional<int> code = answerInfoOption(argc, argv))
        return *code;
    QApplication app(argc, argv);
    QTranslator translator;
    prepareApplication(app, translator);
    AT window;
    showCentred(window);
    return app.exec();
}
