#pragma once

#include "catalogue.h"

// The resource collections live in a static library, so nothing pulls their registration into
// the program unless it is named: call this once at the start of main() and of every test that
// reads ":/font", ":/qss", ":/images" or ":/tran".
inline void initAppResources()
{
    Q_INIT_RESOURCE(fonts);
    Q_INIT_RESOURCE(qss);
    Q_INIT_RESOURCE(images);
    initCatalogue();
}
