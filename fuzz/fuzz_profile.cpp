// Feeds arbitrary files to the profile reader (INI or JSON, as the text decides) and checks
// what every profile it accepts must hold.
#include "fuzzcheck.h"
#include "profile.h"
#include "registercatalog.h"
#include "valuecheck.h"

#include <QSet>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), int(size));
    QStringList problems;
    const auto profile = Profile::parse(QStringLiteral("p"), text, &problems);
    require(profile.has_value() == problems.isEmpty(),
            "a profile comes without problems, a refusal with at least one");
    if (!profile)
        return 0;
    QSet<QString> names;
    for (const ProfileEntry &entry : profile->entries()) {
        const RegisterInfo *reg = RegisterCatalog::find(entry.name);
        require(reg && reg->kind != FieldKind::Info, "an entry names a register to write");
        require(ValueCheck::problem(*reg, entry.value).isEmpty(),
                "an entry's value is one the register takes");
        require(!names.contains(entry.name), "no register is set twice");
        require(entry.line >= 1 && entry.line <= text.count('\n') + 1,
                "an entry names a line of the file");
        names.insert(entry.name);
    }
    return 0;
}
