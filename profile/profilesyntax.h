#pragma once

#include "profileentry.h"

#include <QVector>

#include <QHash>
#include <QJsonObject>

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

// The line of every object key of a JSON text, by its path ("registers/S104"); a key given twice
// in one object is a problem. It takes any text.
QHash<QString, int> keyLines(const QString &text, QVector<Problem> &problems);

// Reads an object of settings (NAME to a value, or to an object carrying "value") found at
// `path` of the document into `parsed`, with the lines keyLines found.
void readSettings(const QJsonObject &object, const QString &path, const QHash<QString, int> &lines,
                  Parsed &parsed);

// The 1-based line of a byte offset.
int lineAt(const QByteArray &text, int offset);

// An INI value, quoted when reading it back unquoted would change it.
QString iniValue(const QString &value);

} // namespace ProfileSyntax
