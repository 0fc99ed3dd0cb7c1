#include "modemreader.h"

#include "atcommands.h"
#include "atsession.h"
#include "registercatalog.h"
#include "registervalues.h"

namespace ModemReader {

namespace {

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

} // namespace

std::optional<Reading> read(AtSession &session,
                            const std::function<bool(const QMap<QString, QString> &)> &goOn)
{
    if (!session.listing())
        return std::nullopt;
    QMap<QString, std::optional<QString>> read = RegisterValues::fromListing(session.reply());
    if (goOn && !goOn(gathered(read).values))
        return gathered(read);
    for (const QString &name : AtCommands::SingleQueryRegisters) {
        if (!session.query(name))
            continue;
        const auto answer = RegisterValues::fromSingleAnswer(session.reply());
        read.insert(name, answer && answer->name == name ? answer->value : std::nullopt);
    }
    return gathered(read);
}

} // namespace ModemReader
