#include "atcommands.h"

namespace AtCommands {

QString writeCommand(const QString &registerName, const QString &value)
{
    const QString end =
        registerName == QLatin1String("S102") ? QStringLiteral("\r\n") : QStringLiteral("\r");
    return QStringLiteral("AT") + registerName + QLatin1Char('=') + value + end;
}

QString queryCommand(const QString &registerName)
{
    return QStringLiteral("AT") + registerName + QStringLiteral("?\r");
}

QString resetCommand(int presetCode)
{
    return QStringLiteral("AT&F") + QString::number(presetCode) + QLatin1Char('\r');
}

} // namespace AtCommands
