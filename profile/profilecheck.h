#pragma once

#include "profilesyntax.h"

#include <QStringList>
#include <optional>

// The steps of reading a settings file that profiles and site plans share: the file read within
// a size, its text decoded, each entry checked against the catalogue, the problems located.
namespace ProfileCheck {

// The file's bytes, at most `maxBytes` ("<file>: <problem>" added to `problems` otherwise);
// `what` names the kind of file in the size message ("a profile").
std::optional<QByteArray> readFile(const QString &path, int maxBytes, const QString &what,
                                   QStringList *problems);

// UTF-8 with or without a byte-order mark; none, with the line, when a line is not UTF-8.
std::optional<QString> decoded(const QByteArray &bytes, QVector<ProfileSyntax::Problem> &problems);

// Checks each entry against the catalogue (register, value, set twice); returns the entries under
// the catalogue's names.
QVector<ProfileEntry> checked(const QVector<ProfileEntry> &written,
                              QVector<ProfileSyntax::Problem> &problems);

// The problems as "<file>:<line>: <message>", those of a line first, in line order.
QStringList located(const QString &fileName, QVector<ProfileSyntax::Problem> problems);

} // namespace ProfileCheck
