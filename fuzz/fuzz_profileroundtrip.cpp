// Makes a modem's values out of arbitrary bytes, keeps those dr58ctl reads and can send again,
// writes them as `read` does (INI and JSON) and requires the profile reader to give back
// exactly those values, whatever the identity texts and the port name hold.
#include "fuzzcheck.h"
#include "profile.h"
#include "profilewriter.h"
#include "registercatalog.h"
#include "valuecheck.h"

#include <QMap>
#include <cstddef>
#include <cstdint>

namespace {

using Values = QMap<QString, QString>;

// One piece per catalogue entry in catalogue order, then the port, separated by NUL bytes.
Values valuesFrom(const QList<QByteArray> &pieces, Values &settings)
{
    Values values;
    int next = 0;
    for (const RegisterInfo &reg : RegisterCatalog::registers()) {
        if (next >= pieces.size())
            break;
        const QString value = QString::fromLatin1(pieces.at(next++));
        const QString name = QLatin1String(reg.name);
        const bool sendable =
            reg.kind == FieldKind::Info ||
            (ValueCheck::problem(reg, value).isEmpty() &&
             (reg.kind != FieldKind::Choice || value == QString::number(value.toULongLong())));
        if (!sendable)
            continue;
        values.insert(name, value);
        if (reg.kind != FieldKind::Info)
            settings.insert(name, value);
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> pieces =
        QByteArray(reinterpret_cast<const char *>(data), int(size)).split('\0');
    Values settings;
    const Values values = valuesFrom(pieces, settings);
    if (settings.isEmpty())
        return 0;
    const QString port = QString::fromLatin1(pieces.last());
    for (const QByteArray &text :
         {ProfileWriter::ini(port, values), ProfileWriter::json(port, values)}) {
        QStringList problems;
        const auto profile = Profile::parse(QStringLiteral("read"), text, &problems);
        require(profile.has_value(), "what read writes parses back");
        Values back;
        for (const ProfileEntry &entry : profile->entries())
            back.insert(entry.name, entry.value);
        require(back == settings, "parsing a profile back gives exactly the values read");
    }
    return 0;
}
