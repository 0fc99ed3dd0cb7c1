#include "valuecheck.h"

#include "atcommands.h"

#include <QStringList>
#include <algorithm>
#include <optional>

namespace ValueCheck {

namespace {

constexpr int MaxDigits = 18; // more digits than any register takes, fewer than overflow quint64

bool isNumeric(const RegisterInfo &reg)
{
    return reg.kind == FieldKind::Choice || reg.validator != ValidatorKind::None;
}

std::optional<quint64> wholeNumber(const QString &value)
{
    const bool digits = !value.isEmpty() && value.size() <= MaxDigits &&
                        std::all_of(value.begin(), value.end(), [](QChar c) {
                            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
                        });
    if (!digits)
        return std::nullopt;
    return value.toULongLong();
}

bool isItemValue(const RegisterInfo &reg, quint64 number)
{
    return std::any_of(reg.items.begin(), reg.items.end(), [number](const ChoiceItem &item) {
        return quint64(item.wireValue) == number;
    });
}

bool inRange(const RegisterInfo &reg, quint64 number)
{
    if (reg.validator == ValidatorKind::WholeNumber)
        return number <= WholeNumberTop;
    return number >= quint64(reg.bottom) && number <= quint64(reg.top);
}

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F);
}

// What keeps a text value from going out in "AT<name>=<value>\r" and coming back unchanged in
// the answer to "AT<name>?" and in the "AT&V" listing.
QString textProblem(const RegisterInfo &reg, const QString &value)
{
    for (QChar c : value) {
        if (c.unicode() > 0xFF)
            return QStringLiteral("the character %1 is not Latin-1").arg(c);
        if (isControl(c))
            return QStringLiteral("control character 0x%1 in the value")
                .arg(c.unicode(), 2, 16, QLatin1Char('0'));
        if (c == QLatin1Char('=') || c == QLatin1Char('?'))
            return QStringLiteral("\"%1\" would be taken as part of the command").arg(c);
    }
    const bool listedOnly = !AtCommands::SingleQueryRegisters.contains(QLatin1String(reg.name));
    if (listedOnly && (value.contains(QLatin1Char(' ')) || value.contains(QLatin1Char('\t'))))
        return QStringLiteral("a blank or tab would end the value in the modem's listing");
    if (value == QLatin1String("OK"))
        return QStringLiteral("\"OK\" would be taken for the end of the modem's answer");
    for (const RegisterInfo &other : RegisterCatalog::registers()) {
        if (other.kind != FieldKind::Info && value.contains(QLatin1String(other.name)))
            return QStringLiteral("the name %1 would be found in the modem's listing")
                .arg(other.name);
    }
    return {};
}

} // namespace

QString problem(const RegisterInfo &reg, const QString &value)
{
    if (reg.kind == FieldKind::Info)
        return QStringLiteral("read from the modem, it cannot be written");
    if (!isNumeric(reg))
        return textProblem(reg, value);
    const auto number = wholeNumber(value);
    const bool fits = number && (reg.kind == FieldKind::Choice ? isItemValue(reg, *number)
                                                               : inRange(reg, *number));
    if (fits)
        return {};
    return QStringLiteral("\"%1\" is not %2 %3")
        .arg(value, reg.kind == FieldKind::Choice ? QStringLiteral("one of") : QStringLiteral("in"),
             accepted(reg));
}

bool same(const RegisterInfo &reg, const QString &a, const QString &b)
{
    if (isNumeric(reg)) {
        const auto x = wholeNumber(a);
        const auto y = wholeNumber(b);
        if (x && y)
            return *x == *y;
    }
    return a == b;
}

QString accepted(const RegisterInfo &reg)
{
    switch (reg.kind) {
    case FieldKind::Info:
        return QStringLiteral("read only");
    case FieldKind::Choice: {
        QStringList values;
        for (const ChoiceItem &item : reg.items)
            values.append(QString::number(item.wireValue));
        return values.join(QStringLiteral(", "));
    }
    case FieldKind::Text:
        break;
    }
    switch (reg.validator) {
    case ValidatorKind::Integer:
        return QStringLiteral("%1..%2").arg(reg.bottom).arg(reg.top);
    case ValidatorKind::WholeNumber:
        return QStringLiteral("0..%1").arg(WholeNumberTop);
    case ValidatorKind::None:
        break;
    }
    return QStringLiteral("any text");
}

} // namespace ValueCheck
