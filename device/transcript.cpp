#include "transcript.h"

namespace Transcript {

QString escaped(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        switch (c) {
        case '\r':
            text += QLatin1String("\\r");
            break;
        case '\n':
            text += QLatin1String("\\n");
            break;
        case '\t':
            text += QLatin1String("\\t");
            break;
        case '\\':
            text += QLatin1String("\\\\");
            break;
        default:
            if (c >= 0x20 && c < 0x7f)
                text += QLatin1Char(c);
            else
                text += QStringLiteral("\\x%1").arg(quint8(c), 2, 16, QLatin1Char('0'));
        }
    }
    return text;
}

QString line(const QDateTime &time, const QString &port, ModemLine::Direction direction,
             const QByteArray &bytes)
{
    const QLatin1Char arrow(direction == ModemLine::Direction::Sent ? '>' : '<');
    return time.toUTC().toString(Qt::ISODateWithMs) + QLatin1Char(' ') + port + QLatin1Char(' ') +
           arrow + QLatin1Char(' ') + escaped(bytes) + QLatin1Char('\n');
}

} // namespace Transcript
