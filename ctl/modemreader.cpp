#include "modemreader.h"

#include "atcommands.h"
#include "atsession.h"
#include "registercatalog.h"
#include "registervalues.h"

namespace ModemReader {

Reading gathered(const QMap<QString, std::optional<QString>> &read)
{
    Reading reading;
    for (const RegisterInfo &reg : RegisterCatalog::registers()) {
        const auto value = read.value(QLatin1String(reg.name));
        if (value)
            reading.values.insert(QLatin1String(reg.name), *value);
        else if (reg.kind != FieldKind::Info)
            reading.unreadable.append(QLatin1String(reg.name));
    }
    return reading;
}

QMap<QString, QString> identity(const QMap<QString, QString> &values)
{
    QMap<QString, QString> identity;
    for (const QString &name : RegisterCatalog::identityNames()) {
        if (values.contains(name))
            identity.insert(name, values.value(name));
    }
    return identity;
}

std::optional<Reading> read(AtSession &session,
                            const std::function<bool(const QMap<QString, QString> &)> &goOn)
{
    if (!session.listing())
        return std::nullopt;
    QMap<QString, std::optional<QString>> read = RegisterValues::fromListing(session.reply());
    if (goOn && !goOn(gathered(read).values))
        return gathered(read);
    // The listing cuts such a register's text at its first blank: only its own answer counts.
    for (const QString &name : AtCommands::SingleQueryRegisters) {
        const auto answer =
            session.query(name) ? RegisterValues::fromSingleAnswer(session.reply()) : std::nullopt;
        read.insert(name, answer && answer->name == name ? answer->value : std::nullopt);
    }
    return gathered(read);
}

} // namespace ModemReader
