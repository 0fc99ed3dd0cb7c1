#pragma once

#include "catalogue.h"

#include <QCoreApplication>
#include <QTranslator>

// Installs the English catalogue for the rest of the test's run; false when it cannot.
inline bool installEnglish()
{
    static QTranslator english;
    initCatalogue();
    return english.load(QStringLiteral(":/tran/en_tr.qm")) &&
           QCoreApplication::installTranslator(&english);
}
