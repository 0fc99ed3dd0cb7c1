#include "printable.h"

namespace Console {

QString printable(const QString &text)
{
    QString shown;
    for (QChar c : text) {
        const ushort code = c.unicode();
        if ((code >= 0x20 && code < 0x7F) || code > 0x9F)
            shown += c;
        else
            shown += QStringLiteral("\\x%1").arg(code, 2, 16, QLatin1Char('0'));
    }
    return shown;
}

} // namespace Console
