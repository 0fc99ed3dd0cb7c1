#include "startup.h"

#include "appinit.h"
#include "appresources.h"
#include "outputfile.h"
#include "uihelper.h"
#include "version.h"

#include <QApplication>
#include <QTranslator>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// 0 when the text reached standard output whole; otherwise 1, the reason said on standard error.
int printed(const QByteArray &text)
{
    const int error = OutputFile::writeAll(STDOUT_FILENO, text);
    if (error == 0)
        return 0;
    std::fprintf(stderr, "dr58at: standard output: %s\n", qPrintable(OutputFile::reason(error)));
    return 1;
}

} // namespace

std::optional<int> answerInfoOption(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0)
            return printed("dr58at " DR58_VERSION "\n");
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return printed(
                "Usage: dr58at [options]\n"
                "Configures DR58 serial radio modems and updates their firmware.\n\n"
                "Options:\n"
                "  -h, --help  Show this help.\n"
                "  --version   Show the version.\n"
                "Qt's own options apply too, such as -platform offscreen; see dr58at(1).\n");
    }
    return std::nullopt;
}

void prepareApplication(QApplication &app, QTranslator &translator)
{
    // The debug lines show their bare text, without the name of their category.
    qSetMessagePattern(QStringLiteral("%{message}"));
    initAppResources();
    translator.load(QStringLiteral(":/tran/en_tr.qm"));
    app.installTranslator(&translator);
    AppInit::instance()->start();
}

void showCentred(QWidget &window)
{
    UiHelper::centerOnScreen(&window);
    window.show();
}
