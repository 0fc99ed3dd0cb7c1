#include "valuecheck.h"

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

QString lineProblem(const QString &value)
{
    for (QChar c : value) {
        if (c.unicode() > 0xFF)
            return QStringLiteral("the character %1 is not Latin-1").arg(c);
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("control character 0x%1 in the value")
                .arg(c.unicode(), 2, 16, QLatin1Char('0'));
    }
    return {};
}

} // namespace

QString problem(const RegisterInfo &reg, const QString &value)
{
    if (reg.kind == FieldKind::Info)
        return QStringLiteral("read from the modem, it cannot be written");
    if (!isNumeric(reg))
        return lineProblem(value);
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
