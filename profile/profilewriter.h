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

} // namespace ProfileWriter
