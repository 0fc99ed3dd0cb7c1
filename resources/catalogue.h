#pragma once

#include <QtGlobal>

// The English catalogue ":/tran/en_tr.qm" lives in a static library, so nothing pulls its
// registration into the program unless it is named: call this once at the start of main() and
// of every test that reads ":/tran".
inline void initCatalogue()
{
    Q_INIT_RESOURCE(tran);
}
