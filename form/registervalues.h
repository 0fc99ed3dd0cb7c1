#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <optional>

// Register values out of the modem's replies, read as the form reads them into its fields:
// text registers and info fields as text, a choice register as the wire value of the item its
// drop-down would select (S102's 10 and 11 select the items written as 15 and 16).
namespace RegisterValues {

// Every catalogue entry the "AT&V" listing carries, by register name.
QMap<QString, QString> fromListing(const QByteArray &reply);

struct Value
{
    QString name;
    QString value;
};

// The answer to a single query "AT<name>?", when its echo names a catalogue register.
std::optional<Value> fromSingleAnswer(const QByteArray &reply);

// A choice register's value as read: the wire value of the item it selects, or the plain number
// when it selects none. Text that is not a number reads as 0, as in the drop-down.
QString choiceValue(const QString &name, const QByteArray &raw);

} // namespace RegisterValues
