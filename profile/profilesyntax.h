#pragma once

#include "profile.h"

// The two profile file formats, read into entries before the catalogue checks them.
//
// INI: one "NAME=VALUE" a line; lines starting with "#" or ";" are comments. A value is taken
// without its surrounding blanks; in double quotes it is taken as written, with \" and \\ for a
// quote and a backslash.
// JSON: an object with "registers" (register name to a value, or to an object carrying
// "value"), and optionally "identity" and "port", which are not applied. A key given twice in
// one object is a problem.
namespace ProfileSyntax {

struct Problem
{
    int line;
    QString message;
};

struct Parsed
{
    QVector<ProfileEntry> entries; // names as written
    QVector<Problem> problems;
};

Parsed parseIni(const QString &text);
Parsed parseJson(const QString &text);

// An INI value, quoted when reading it back unquoted would change it.
QString iniValue(const QString &value);

} // namespace ProfileSyntax
