#pragma once

#include "registercatalog.h"

#include <QString>

// Whether a value may be written to a register of the catalogue, judged by the register's kind,
// its items and its validator range, before anything goes to the modem.
namespace ValueCheck {

// Why the value cannot be written, empty when it can. Info fields are never written; a choice
// register takes the wire value of one of its items; a text register with a validator takes a
// whole number in its range; free text must go out in one command line and read back unchanged
// from the single answer and the listing: Latin-1 without control characters, "=" or "?", no
// blank or tab where the listing is its only reading, not "OK", no register name inside.
QString problem(const RegisterInfo &reg, const QString &value);

// Whether two values of the register say the same: numbers compare by value ("007" and "7").
bool same(const RegisterInfo &reg, const QString &a, const QString &b);

// What the register takes, for messages and profile comments: "0..65535", "0, 1, 2", "any text".
QString accepted(const RegisterInfo &reg);

} // namespace ValueCheck
