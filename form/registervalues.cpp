#include "registervalues.h"

#include "registercatalog.h"
#include "replyparser.h"
#include "valuecheck.h"

namespace RegisterValues {

namespace {

std::optional<QString> checked(const RegisterInfo &reg, const std::optional<QByteArray> &raw)
{
    if (!raw)
        return std::nullopt;
    const QString value = QString::fromLatin1(*raw);
    if (reg.kind != FieldKind::Info && !ValueCheck::problem(reg, value).isEmpty())
        return std::nullopt;
    // A choice is its item's wire value, as a profile holds it: "02" is item 2.
    return reg.kind == FieldKind::Choice ? QString::number(value.toULongLong()) : value;
}

} // namespace

std::optional<QByteArray> listedRaw(const QString &name, const QByteArray &reply)
{
    const QByteArray key = RegisterCatalog::identityKey(name);
    return key.isEmpty() ? ReplyParser::listingValue(reply, name.toLatin1())
                         : ReplyParser::identityValue(reply, key);
}

bool isIdentity(const QString &name)
{
    return !RegisterCatalog::identityKey(name).isEmpty();
}

int choiceIndex(const QString &name, const QByteArray &raw)
{
    return RegisterCatalog::indexForWireValue(name, ReplyParser::toNumber(raw));
}

QMap<QString, std::optional<QString>> fromListing(const QByteArray &reply)
{
    QMap<QString, std::optional<QString>> values;
    const bool listing = ReplyParser::isListing(reply);
    const auto entries = ReplyParser::listingEntries(reply);
    for (const RegisterInfo &reg : RegisterCatalog::registers()) {
        const QString name = QLatin1String(reg.name);
        if (reg.kind != FieldKind::Info) {
            values.insert(name, listing ? checked(reg, entries.value(reg.name)) : std::nullopt);
        } else if (const auto raw =
                       ReplyParser::lineValue(reply, RegisterCatalog::identityKey(name))) {
            values.insert(name, QString::fromLatin1(*raw));
        }
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
    const auto confirmed = ReplyParser::confirmedAnswer(reply);
    return Value{name, checked(*reg, confirmed ? std::optional(confirmed->value) : std::nullopt)};
}

} // namespace RegisterValues
