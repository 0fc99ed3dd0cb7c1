// Feeds arbitrary files to the site plan reader (INI or JSON, as the text decides), checks what
// every plan it accepts must hold, writes it back both ways and reads it again unchanged.
#include "fuzzcheck.h"
#include "networkrules.h"
#include "siteplan.h"

#include <cstddef>
#include <cstdint>

namespace {

// The radios by serial number: JSON objects keep no order, so a plan written as JSON reads back
// its radios sorted.
QMap<QString, QMap<QString, QString>> bySerial(const QVector<NetworkRadio> &radios)
{
    QMap<QString, QMap<QString, QString>> map;
    for (const NetworkRadio &radio : radios)
        map.insert(radio.name, radio.values);
    return map;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), int(size));
    QStringList problems;
    const auto plan = SitePlan::parse(QStringLiteral("p"), text, &problems);
    require(plan.has_value() == problems.isEmpty(),
            "a plan comes without problems, a refusal with at least one");
    if (!plan)
        return 0;
    require(!plan->radios().isEmpty(), "a plan names a radio");
    const QVector<NetworkRadio> radios = plan->networkRadios();
    NetworkRules::check(radios);
    for (const QByteArray &written : {plan->ini(), plan->json()}) {
        QStringList again;
        const auto back = SitePlan::parse(QStringLiteral("w"), written, &again);
        require(back.has_value(), "a plan written reads back");
        require(back && bySerial(back->networkRadios()) == bySerial(radios),
                "a plan written reads back as it was");
    }
    return 0;
}
