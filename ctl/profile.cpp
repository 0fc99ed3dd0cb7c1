#include "profile.h"

#include "profilesyntax.h"
#include "registercatalog.h"
#include "valuecheck.h"

#include <QFile>
#include <QSet>
#include <algorithm>
#include <limits>

namespace {

// The catalogue's spelling of a register name written in any case.
const RegisterInfo *lookUp(const QString &name)
{
    for (const RegisterInfo &reg : RegisterCatalog::registers()) {
        if (name.compare(QLatin1String(reg.name), Qt::CaseInsensitive) == 0)
            return &reg;
    }
    return nullptr;
}

QString located(const QString &fileName, int line, const QString &message)
{
    if (line <= 0)
        return QStringLiteral("%1: %2").arg(fileName, message);
    return QStringLiteral("%1:%2: %3").arg(fileName).arg(line).arg(message);
}

// Checks each entry against the catalogue; returns the entries under the catalogue's names.
QVector<ProfileEntry> checked(const ProfileSyntax::Parsed &parsed,
                              QVector<ProfileSyntax::Problem> &problems)
{
    QVector<ProfileEntry> entries;
    QSet<QString> seen;
    for (const ProfileEntry &entry : parsed.entries) {
        const RegisterInfo *reg = lookUp(entry.name);
        if (!reg) {
            problems.append({entry.line, QStringLiteral("unknown register %1").arg(entry.name)});
            continue;
        }
        const QString name = QLatin1String(reg->name);
        const QString problem = ValueCheck::problem(*reg, entry.value);
        if (!problem.isEmpty())
            problems.append({entry.line, name + QStringLiteral(": ") + problem});
        else if (seen.contains(name))
            problems.append({entry.line, QStringLiteral("%1 is set twice").arg(name)});
        seen.insert(name);
        entries.append({name, entry.value, entry.line});
    }
    if (parsed.problems.isEmpty() && problems.isEmpty() && entries.isEmpty())
        problems.append({0, QStringLiteral("the profile sets no register")});
    return entries;
}

} // namespace

std::optional<Profile> Profile::load(const QString &path, QStringList *problems)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problems->append(located(path, 0, file.errorString()));
        return std::nullopt;
    }
    return parse(path, file.readAll(), problems);
}

std::optional<Profile> Profile::parse(const QString &fileName, const QByteArray &text,
                                      QStringList *problems)
{
    const bool isJson = text.trimmed().startsWith('{');
    const ProfileSyntax::Parsed parsed =
        isJson ? ProfileSyntax::parseJson(text) : ProfileSyntax::parseIni(QString::fromUtf8(text));
    QVector<ProfileSyntax::Problem> found = parsed.problems;
    Profile profile;
    profile.m_entries = checked(parsed, found);
    // Problems of the whole file (line 0) come after those of a line.
    const auto order = [](const ProfileSyntax::Problem &p) {
        return p.line > 0 ? p.line : std::numeric_limits<int>::max();
    };
    std::stable_sort(found.begin(), found.end(),
                     [&](const auto &a, const auto &b) { return order(a) < order(b); });
    for (const ProfileSyntax::Problem &problem : found)
        problems->append(located(fileName, problem.line, problem.message));
    if (!found.isEmpty())
        return std::nullopt;
    return profile;
}

const ProfileEntry *Profile::find(const QString &name) const
{
    for (const ProfileEntry &entry : m_entries) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}
