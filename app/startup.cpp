#include "startup.h"

#include "appinit.h"
#include "appresources.h"
#include "uihelper.h"

#include <QApplication>
#include <QTranslator>
#include <QWidget>

void prepareApplication(QApplication &app, QTranslator &translator)
{
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
