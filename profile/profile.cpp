#include "profile.h"

#include "profilecheck.h"
#include "registercatalog.h"
#include "valuecheck.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTextCodec>
#include <algorithm>
#include <limits>

namespace ProfileCheck {

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

} // namespace

std::optional<QByteArray> readFile(const QString &path, int maxBytes, const QString &what,
                                   QStringList *problems)
{
    QFile file(path);
    QByteArray bytes;
    QString problem;
    if (QFileInfo::exists(path) && !QFileInfo(path).isFile())
        problem = QStringLiteral("not a regular file");
    else if (file.open(QIODevice::ReadOnly))
        bytes = file.read(qint64(maxBytes) + 1);
    if (problem.isEmpty() && file.error() != QFileDevice::NoError)
        problem = file.errorString();
    else if (bytes.size() > maxBytes)
        problem = QStringLiteral("larger than %1 bytes, too large for %2").arg(maxBytes).arg(what);
    if (problem.isEmpty())
        return bytes;
    problems->append(located(path, 0, problem));
    return std::nullopt;
}

std::optional<QString> decoded(const QByteArray &bytes, QVector<ProfileSyntax::Problem> &problems)
{
    const QByteArray text = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    const QList<QByteArray> lines = text.split('\n');
    QString result;
    for (int i = 0; i < lines.size(); ++i) {
        QTextCodec::ConverterState state;
        const QByteArray &line = lines.at(i);
        result +=
            QTextCodec::codecForName("UTF-8")->toUnicode(line.constData(), line.size(), &state);
        if (state.invalidChars > 0 || state.remainingChars > 0) {
            problems.append({i + 1, QStringLiteral("the line is not UTF-8 text")});
            return std::nullopt;
        }
        if (i + 1 < lines.size())
            result += QLatin1Char('\n');
    }
    return result;
}

QVector<ProfileEntry> checked(const QVector<ProfileEntry> &written,
                              QVector<ProfileSyntax::Problem> &problems)
{
    QVector<ProfileEntry> entries;
    QSet<QString> seen;
    for (const ProfileEntry &entry : written) {
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
    return entries;
}

QStringList located(const QString &fileName, QVector<ProfileSyntax::Problem> problems)
{
    // Problems of the whole file (line 0) come after those of a line.
    const auto order = [](const ProfileSyntax::Problem &p) {
        return p.line > 0 ? p.line : std::numeric_limits<int>::max();
    };
    std::stable_sort(problems.begin(), problems.end(),
                     [&](const auto &a, const auto &b) { return order(a) < order(b); });
    QStringList texts;
    for (const ProfileSyntax::Problem &problem : problems)
        texts.append(located(fileName, problem.line, problem.message));
    return texts;
}

} // namespace ProfileCheck

std::optional<Profile> Profile::load(const QString &path, QStringList *problems)
{
    const auto bytes =
        ProfileCheck::readFile(path, MaxBytes, QStringLiteral("a profile"), problems);
    return bytes ? parse(path, *bytes, problems) : std::nullopt;
}

std::optional<Profile> Profile::parse(const QString &fileName, const QByteArray &text,
                                      QStringList *problems)
{
    QVector<ProfileSyntax::Problem> found;
    Profile profile;
    if (const auto decodedText = ProfileCheck::decoded(text, found)) {
        const bool isJson = decodedText->trimmed().startsWith(QLatin1Char('{'));
        const ProfileSyntax::Parsed parsed =
            isJson ? ProfileSyntax::parseJson(*decodedText) : ProfileSyntax::parseIni(*decodedText);
        found = parsed.problems;
        profile.m_entries = ProfileCheck::checked(parsed.entries, found);
        if (found.isEmpty() && profile.m_entries.isEmpty())
            found.append({0, QStringLiteral("the profile sets no register")});
    }
    *problems += ProfileCheck::located(fileName, found);
    if (!found.isEmpty())
        return std::nullopt;
    return profile;
}

Profile Profile::fromEntries(const QVector<ProfileEntry> &entries)
{
    Profile profile;
    profile.m_entries = entries;
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
