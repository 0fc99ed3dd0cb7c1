#include "labels.h"

#include <QCoreApplication>

namespace Labels {

QString label(const RegisterInfo &reg)
{
    // One label carries a trailing blank in the window; a console line has no use for it.
    return QCoreApplication::translate("AT", reg.label).trimmed();
}

std::optional<QString> itemText(const RegisterInfo &reg, const QString &wireValue)
{
    bool isNumber = false;
    const int value = wireValue.toInt(&isNumber, 10);
    for (const ChoiceItem &item : reg.items) {
        if (isNumber && item.wireValue == value && *item.text == '\0')
            return QStringLiteral("blank");
        if (isNumber && item.wireValue == value)
            return QCoreApplication::translate("AT", item.text);
    }
    return std::nullopt;
}

QString title(const RegisterInfo &reg)
{
    return QLatin1String(reg.name) + QLatin1Char(' ') + label(reg);
}

QString shownValue(const RegisterInfo &reg, const QString &value)
{
    if (reg.validator == ValidatorKind::None && reg.kind == FieldKind::Text)
        return QLatin1Char('"') + value + QLatin1Char('"');
    if (reg.kind != FieldKind::Choice)
        return value;
    const auto item = itemText(reg, value);
    return QStringLiteral("%1 (%2)").arg(value, item ? *item : QStringLiteral("no such item"));
}

} // namespace Labels
