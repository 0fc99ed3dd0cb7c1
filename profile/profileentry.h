#pragma once

#include <QString>

// One register setting of a profile, with the line of the file that names it.
struct ProfileEntry
{
    QString name; // as the catalogue spells it
    QString value;
    int line;
};
