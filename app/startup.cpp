#include "startup.h"

#include "appinit.h"
#include "appresources.h"
#include "uihelper.h"

#include <QApplication>
#include <QTranslator>
#include <QWidget>

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
