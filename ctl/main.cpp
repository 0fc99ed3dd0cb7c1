#include "catalogue.h"
#include "cli.h"
#include "outputfile.h"

#include <QCoreApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    OutputFile::protectStandardStreams(); // a closed standard output never ends a run
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("dr58ctl"));
    initCatalogue();
    // The register labels and items are shown in English, as in the window.
    QTranslator english;
    if (english.load(QStringLiteral(":/tran/en_tr.qm")))
        QCoreApplication::installTranslator(&english);
    return Cli::run(QCoreApplication::arguments().mid(1));
}
