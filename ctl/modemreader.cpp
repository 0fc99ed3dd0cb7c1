#include "modemreader.h"

#include "atcommands.h"
#include "atsession.h"
#include "registervalues.h"

namespace ModemReader {

std::optional<QMap<QString, QString>> read(AtSession &session)
{
    if (!session.listing())
        return std::nullopt;
    QMap<QString, QString> values = RegisterValues::fromListing(session.reply());
    for (const QString &name : AtCommands::SingleQueryRegisters) {
        if (!session.query(name))
            continue;
        const auto answer = RegisterValues::fromSingleAnswer(session.reply());
        if (answer && answer->name == name)
            values.insert(name, answer->value);
    }
    return values;
}

} // namespace ModemReader
