#include "siteplan.h"

#include "profilecheck.h"
#include "registercatalog.h"
#include "valuecheck.h"

#include <QJsonDocument>
#include <QSet>

namespace {

using ProfileSyntax::Problem;

constexpr int MaxSerialLength = 32; // the longest identity text a modem lists
constexpr int Network = -1;         // entries of [network]
constexpr int Nowhere = -2;         // entries under a section that is a problem itself

// The plan as written, before the catalogue checks its values.
struct Written
{
    QVector<ProfileEntry> network;
    bool hasNetwork = false;
    QVector<PlanRadio> radios;
    QHash<QString, int> bySerial;
};

QString serialProblem(const QString &serial)
{
    if (serial.isEmpty())
        return QStringLiteral("a radio's section needs its serial number: [radio SERIAL]");
    const bool printable = std::all_of(serial.begin(), serial.end(), [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() < 0x7F;
    });
    if (!printable || serial.size() > MaxSerialLength)
        return QStringLiteral("the serial number \"%1\" is not 1 to %2 printable ASCII characters")
            .arg(serial)
            .arg(MaxSerialLength);
    return {};
}

int addRadio(const QString &serial, int line, Written &written, QVector<Problem> &found)
{
    const QString problem = serialProblem(serial);
    if (!problem.isEmpty()) {
        found.append({line, problem});
        return Nowhere;
    }
    if (written.bySerial.contains(serial)) {
        const int first = written.radios.at(written.bySerial.value(serial)).line;
        found.append({line, QStringLiteral("the serial number %1 is given twice (first on line %2)")
                                .arg(serial)
                                .arg(first)});
        return Nowhere;
    }
    written.bySerial.insert(serial, written.radios.size());
    written.radios.append({serial, line, {}});
    return written.radios.size() - 1;
}

// Where the settings after an INI section header go.
int sectionTarget(const QString &header, int line, Written &written, QVector<Problem> &found)
{
    const QString inner = header.mid(1, header.size() - 2).trimmed();
    const QLatin1String radio("radio ");
    if (header.endsWith(QLatin1Char(']')) && inner == QLatin1String("network")) {
        if (written.hasNetwork)
            found.append({line, QStringLiteral("[network] is given twice")});
        written.hasNetwork = true;
        return Network;
    }
    if (header.endsWith(QLatin1Char(']')) && QString(inner + QLatin1Char(' ')).startsWith(radio))
        return addRadio(inner.mid(radio.size()).trimmed(), line, written, found);
    found.append(
        {line,
         QStringLiteral("unknown section %1: expected [network] or [radio SERIAL]").arg(header)});
    return Nowhere;
}

void readIni(const QString &text, Written &written, QVector<Problem> &found)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    QVector<int> headerLines;
    QVector<int> targets;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (!line.startsWith(QLatin1Char('[')))
            continue;
        headerLines.append(i + 1);
        targets.append(sectionTarget(line, i + 1, written, found));
        lines[i].clear(); // so that the profile reader takes the rest with its lines
    }
    const ProfileSyntax::Parsed parsed = ProfileSyntax::parseIni(lines.join(QLatin1Char('\n')));
    found += parsed.problems;
    int section = -1;
    for (const ProfileEntry &entry : parsed.entries) {
        while (section + 1 < headerLines.size() && headerLines.at(section + 1) < entry.line)
            ++section;
        const int target = section < 0 ? Nowhere : targets.at(section);
        if (section < 0)
            found.append({entry.line, QStringLiteral("%1 is outside a section: [network] or "
                                                     "[radio SERIAL] comes first")
                                          .arg(entry.name)});
        else if (target == Network)
            written.network.append(entry);
        else if (target >= 0)
            written.radios[target].entries.append(entry);
    }
}

QVector<ProfileEntry> settings(const QJsonValue &value, const QString &path,
                               const QHash<QString, int> &lines, QVector<Problem> &found)
{
    if (!value.isObject()) {
        found.append(
            {lines.value(path), QStringLiteral("\"%1\" must be an object of settings").arg(path)});
        return {};
    }
    ProfileSyntax::Parsed parsed;
    ProfileSyntax::readSettings(value.toObject(), path, lines, parsed);
    found += parsed.problems;
    return parsed.entries;
}

void readJson(const QString &text, Written &written, QVector<Problem> &found)
{
    const QHash<QString, int> lines = ProfileSyntax::keyLines(text, found);
    if (!found.isEmpty())
        return;
    QJsonParseError error;
    const QByteArray bytes = text.toUtf8();
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        found.append({ProfileSyntax::lineAt(bytes, error.offset), error.errorString()});
        return;
    }
    const QJsonObject root = document.object();
    for (const QString &key : root.keys()) {
        if (key != QLatin1String("network") && key != QLatin1String("radios"))
            found.append({lines.value(key), QStringLiteral("unknown key \"%1\"").arg(key)});
    }
    if (root.contains("network"))
        written.network = settings(root.value("network"), QStringLiteral("network"), lines, found);
    if (!root.value("radios").isObject()) {
        found.append({lines.value("radios"), QStringLiteral("\"radios\" must be an object")});
        return;
    }
    const QJsonObject radios = root.value("radios").toObject();
    // In the file's order: a JSON object keeps its keys sorted.
    QStringList serials = radios.keys();
    const auto line = [&](const QString &serial) { return lines.value("radios/" + serial); };
    std::stable_sort(serials.begin(), serials.end(),
                     [&](const QString &a, const QString &b) { return line(a) < line(b); });
    for (const QString &serial : serials) {
        const QString path = QStringLiteral("radios/") + serial;
        const int index = addRadio(serial, line(serial), written, found);
        const QVector<ProfileEntry> entries = settings(radios.value(serial), path, lines, found);
        if (index >= 0)
            written.radios[index].entries = entries;
    }
}

bool isJson(const QString &text)
{
    return text.trimmed().startsWith(QLatin1Char('{'));
}

bool isPlanText(const QString &text)
{
    if (isJson(text)) {
        const QJsonObject root = QJsonDocument::fromJson(text.toUtf8()).object();
        return root.contains("network") || root.contains("radios");
    }
    for (const QStringRef &line : text.splitRef(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QLatin1Char('[')))
            return true;
    }
    return false;
}

QMap<QString, QString> valuesOf(const QVector<ProfileEntry> &entries)
{
    QMap<QString, QString> values;
    for (const ProfileEntry &entry : entries)
        values.insert(entry.name, entry.value);
    return values;
}

} // namespace

bool SitePlan::isPlanFile(const QString &path)
{
    QStringList ignored;
    QVector<Problem> undecoded;
    const auto bytes = ProfileCheck::readFile(path, MaxBytes, {}, &ignored);
    const auto text = bytes ? ProfileCheck::decoded(*bytes, undecoded) : std::nullopt;
    return text && isPlanText(*text);
}

std::optional<SitePlan> SitePlan::load(const QString &path, QStringList *problems)
{
    const auto bytes =
        ProfileCheck::readFile(path, MaxBytes, QStringLiteral("a site plan"), problems);
    return bytes ? parse(path, *bytes, problems) : std::nullopt;
}

std::optional<SitePlan> SitePlan::parse(const QString &fileName, const QByteArray &text,
                                        QStringList *problems)
{
    QVector<Problem> found;
    Written written;
    SitePlan plan;
    if (const auto decodedText = ProfileCheck::decoded(text, found)) {
        if (isJson(*decodedText))
            readJson(*decodedText, written, found);
        else
            readIni(*decodedText, written, found);
        plan.m_network = ProfileCheck::checked(written.network, found);
        const QMap<QString, QString> shared = valuesOf(plan.m_network);
        for (const PlanRadio &radio : qAsConst(written.radios)) {
            const QVector<ProfileEntry> entries = ProfileCheck::checked(radio.entries, found);
            for (const ProfileEntry &entry : entries) {
                if (shared.contains(entry.name))
                    found.append({entry.line, QStringLiteral("%1 is set both in [network] and in "
                                                             "[%2]")
                                                  .arg(entry.name, sectionName(radio.serial))});
            }
            plan.m_radios.append({radio.serial, radio.line, entries});
        }
        if (found.isEmpty() && plan.m_radios.isEmpty())
            found.append({0, QStringLiteral("the plan names no radio")});
    }
    *problems += ProfileCheck::located(fileName, found);
    if (!found.isEmpty())
        return std::nullopt;
    return plan;
}

SitePlan SitePlan::fromRadios(const QVector<NetworkRadio> &radios)
{
    SitePlan plan;
    for (const NetworkRadio &radio : radios)
        plan.m_radios.append({radio.name, 0, {}});
    for (const RegisterInfo &reg : RegisterCatalog::registers()) {
        const QString name = QLatin1String(reg.name);
        if (reg.kind == FieldKind::Info || radios.isEmpty())
            continue;
        const QString first = radios.first().values.value(name);
        const bool shared = std::all_of(radios.begin(), radios.end(), [&](const NetworkRadio &r) {
            return r.values.contains(name) && ValueCheck::same(reg, r.values.value(name), first);
        });
        if (shared) {
            plan.m_network.append({name, first, 0});
            continue;
        }
        for (int i = 0; i < radios.size(); ++i) {
            if (radios.at(i).values.contains(name))
                plan.m_radios[i].entries.append({name, radios.at(i).values.value(name), 0});
        }
    }
    return plan;
}

const PlanRadio *SitePlan::radio(const QString &serial) const
{
    for (const PlanRadio &radio : m_radios) {
        if (radio.serial == serial)
            return &radio;
    }
    return nullptr;
}

QString SitePlan::sectionName(const QString &serial)
{
    return QStringLiteral("radio ") + serial;
}

Profile SitePlan::profileFor(const PlanRadio &radio) const
{
    return Profile::fromEntries(m_network + radio.entries);
}

QVector<NetworkRadio> SitePlan::networkRadios() const
{
    QVector<NetworkRadio> radios;
    const QMap<QString, QString> shared = valuesOf(m_network);
    for (const PlanRadio &radio : m_radios) {
        QMap<QString, QString> values = shared;
        for (const ProfileEntry &entry : radio.entries)
            values.insert(entry.name, entry.value);
        radios.append({radio.serial, values});
    }
    return radios;
}

QByteArray SitePlan::ini() const
{
    const auto lines = [](const QVector<ProfileEntry> &entries) {
        QString text;
        for (const ProfileEntry &entry : entries)
            text += entry.name + QLatin1Char('=') + ProfileSyntax::iniValue(entry.value) +
                    QLatin1Char('\n');
        return text;
    };
    QString text =
        QStringLiteral("# DR58 site plan: what every radio shares, then each radio's own "
                       "by the serial number its modem reports (I4)\n[network]\n") +
        lines(m_network);
    for (const PlanRadio &radio : m_radios)
        text += QStringLiteral("\n[%1]\n").arg(sectionName(radio.serial)) + lines(radio.entries);
    return text.toUtf8();
}

QByteArray SitePlan::json() const
{
    const auto object = [](const QVector<ProfileEntry> &entries) {
        QJsonObject values;
        for (const ProfileEntry &entry : entries)
            values.insert(entry.name, entry.value);
        return values;
    };
    QJsonObject radios;
    for (const PlanRadio &radio : m_radios)
        radios.insert(radio.serial, object(radio.entries));
    const QJsonObject root{{"network", object(m_network)}, {"radios", radios}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
