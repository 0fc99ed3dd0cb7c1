#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// A modem's registers, as read, written out as a profile that `apply` takes back.
namespace ProfileWriter {

// Identity texts and the port are shown printable (see Console::printable).
// INI: the identity and the port as comments, then each register as "NAME=VALUE" after a
// comment with its label, the item a choice selects and what the register takes.
QByteArray ini(const QString &port, const QMap<QString, QString> &values);

// JSON: {"port", "identity" (by label), "registers": {name: {"value", "label"[, "item"]}}}.
// Choice values are numbers, text values strings.
QByteArray json(const QString &port, const QMap<QString, QString> &values);

// Writes a profile readable by its owner only (it holds the encryption key), beside the target
// and renamed over it when complete, so an interrupted run leaves no half file. The error text,
// empty on success.
QString save(const QString &path, const QByteArray &text);

} // namespace ProfileWriter
