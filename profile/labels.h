#pragma once

#include "registercatalog.h"

#include <QString>
#include <optional>

// The English texts of the catalogue as the window shows them (the compiled catalogue must be
// installed): labels, and the item a choice register's wire value selects.
namespace Labels {

QString label(const RegisterInfo &reg);

// The item text of a wire value; empty optional when the value selects no item.
std::optional<QString> itemText(const RegisterInfo &reg, const QString &wireValue);

// "S102 Serial Baud Rate"
QString title(const RegisterInfo &reg);

// A value for messages: a choice with its item, "7 (9600)"; free text in quotes, "\"key\"";
// numbers as they are.
QString shownValue(const RegisterInfo &reg, const QString &value);

} // namespace Labels
