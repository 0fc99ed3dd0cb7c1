#include "registervalues.h"

#include "registercatalog.h"
#include "replyparser.h"

namespace RegisterValues {

namespace {

QString fieldValue(const RegisterInfo &reg, const QByteArray &raw)
{
    const QString name = QLatin1String(reg.name);
    return reg.kind == FieldKind::Choice ? choiceValue(name, raw) : ReplyParser::toText(raw);
}

std::optional<QByteArray> listedValue(const RegisterInfo &reg, const QByteArray &reply)
{
    if (reg.kind == FieldKind::Info)
        return ReplyParser::identityValue(reply, RegisterCatalog::identityKey(reg.name));
    return ReplyParser::listingValue(reply, reg.name);
}

} // namespace

QMap<QString, QString> fromListing(const QByteArray &reply)
{
    QMap<QString, QString> values;
    for (const RegisterInfo &reg : RegisterCatalog::registers()) {
        if (const auto raw = listedValue(reg, reply))
            values.insert(QLatin1String(reg.name), fieldValue(reg, *raw));
    }
    return values;
}

std::optional<Value> fromSingleAnswer(const QByteArray &reply)
{
    const auto answer = ReplyParser::singleAnswer(reply);
    if (!answer)
        return std::nullopt;
    const QString name = QString::fromLatin1(answer->name);
    const RegisterInfo *reg = RegisterCatalog::find(name);
    if (!reg || reg->kind == FieldKind::Info)
        return std::nullopt;
    return Value{name, fieldValue(*reg, answer->value)};
}

QString choiceValue(const QString &name, const QByteArray &raw)
{
    const int number = ReplyParser::toNumber(raw);
    const RegisterInfo *reg = RegisterCatalog::find(name);
    const int index = RegisterCatalog::indexForWireValue(name, number);
    if (!reg || index < 0 || index >= reg->items.size())
        return QString::number(number);
    return QString::number(RegisterCatalog::wireValueForIndex(name, index));
}

} // namespace RegisterValues
