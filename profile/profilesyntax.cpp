#include "profilesyntax.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QSet>
#include <cmath>
#include <optional>

namespace ProfileSyntax {

namespace {

const QChar Quote = QLatin1Char('"');
const QChar Backslash = QLatin1Char('\\');
constexpr double LargestExactInteger = 9007199254740992.0; // 2^53

struct Unquoted
{
    QString value;
    QString problem;
};

Unquoted unquote(const QString &quoted)
{
    QString value;
    for (int i = 1; i < quoted.size(); ++i) {
        const QChar c = quoted.at(i);
        if (c == Quote) {
            if (i != quoted.size() - 1)
                return {{}, QStringLiteral("text after the closing quote")};
            return {value, {}};
        }
        if (c == Backslash && i + 1 < quoted.size())
            ++i;
        value += quoted.at(i);
    }
    return {{}, QStringLiteral("the quote is not closed")};
}

bool isComment(const QString &line)
{
    return line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';'));
}

// A JSON container: an object with the keys seen so far, or an array; named by its path.
struct Container
{
    bool isObject;
    QString path;
    QSet<QString> keys;
};

QString joined(const QString &path, const QString &key)
{
    return path.isEmpty() ? key : path + QLatin1Char('/') + key;
}

// A key as the JSON reader sees it, its escapes resolved.
QString keyText(const QString &raw)
{
    if (!raw.contains(Backslash))
        return raw;
    const QByteArray array = "[\"" + raw.toUtf8() + "\"]";
    return QJsonDocument::fromJson(array).array().at(0).toString();
}

std::optional<QString> scalarText(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble()) {
        const double number = value.toDouble();
        if (std::floor(number) == number && std::fabs(number) < LargestExactInteger)
            return QString::number(qint64(number));
        return QString::number(number);
    }
    return std::nullopt;
}

} // namespace

void readSettings(const QJsonObject &object, const QString &path, const QHash<QString, int> &lines,
                  Parsed &parsed)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        const int line = lines.value(joined(path, it.key()));
        const QJsonValue held =
            it.value().isObject() ? it.value().toObject().value("value") : it.value();
        if (const auto value = scalarText(held))
            parsed.entries.append({it.key(), *value, line});
        else
            parsed.problems.append(
                {line, QStringLiteral("%1: the value must be text or a number").arg(it.key())});
    }
}

// Runs before the JSON reader, which would keep only the last of a key given twice.
QHash<QString, int> keyLines(const QString &text, QVector<Problem> &problems)
{
    QHash<QString, int> lines;
    QVector<Container> open;
    QString lastKey;
    int line = 1;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n')) {
            ++line;
        } else if (c == QLatin1Char('{') || c == QLatin1Char('[')) {
            const QString path = open.isEmpty() ? QString() : joined(open.last().path, lastKey);
            open.append({c == QLatin1Char('{'), path, {}});
            lastKey.clear();
        } else if ((c == QLatin1Char('}') || c == QLatin1Char(']')) && !open.isEmpty()) {
            open.removeLast();
        } else if (c == Quote) {
            const int start = i + 1;
            for (++i; i < text.size() && text.at(i) != Quote; ++i)
                i += text.at(i) == Backslash ? 1 : 0;
            int next = i + 1;
            while (next < text.size() && text.at(next).isSpace())
                ++next;
            if (open.isEmpty() || !open.last().isObject || next >= text.size() ||
                text.at(next) != QLatin1Char(':'))
                continue;
            Container &object = open.last();
            lastKey = keyText(text.mid(start, i - start));
            if (object.keys.contains(lastKey))
                problems.append({line, QStringLiteral("\"%1\" is given twice").arg(lastKey)});
            object.keys.insert(lastKey);
            lines.insert(joined(object.path, lastKey), line);
        }
    }
    return lines;
}

Parsed parseIni(const QString &text)
{
    Parsed parsed;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        const int number = i + 1;
        if (line.isEmpty() || isComment(line))
            continue;
        const int equals = line.indexOf(QLatin1Char('='));
        const QString name = line.left(equals).trimmed();
        if (equals < 0 || name.isEmpty()) {
            parsed.problems.append({number, QStringLiteral("expected NAME=VALUE")});
            continue;
        }
        const QString value = line.mid(equals + 1).trimmed();
        if (!value.startsWith(Quote)) {
            parsed.entries.append({name, value, number});
            continue;
        }
        const Unquoted unquoted = unquote(value);
        if (unquoted.problem.isEmpty())
            parsed.entries.append({name, unquoted.value, number});
        else
            parsed.problems.append({number, name + QStringLiteral(": ") + unquoted.problem});
    }
    return parsed;
}

Parsed parseJson(const QString &text)
{
    Parsed parsed;
    const QHash<QString, int> lines = keyLines(text, parsed.problems);
    if (!parsed.problems.isEmpty())
        return parsed;
    QJsonParseError error;
    const QByteArray bytes = text.toUtf8();
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        parsed.problems.append({lineAt(bytes, error.offset), error.errorString()});
        return parsed;
    }
    if (!document.isObject()) {
        parsed.problems.append({1, QStringLiteral("expected an object with \"registers\"")});
        return parsed;
    }
    const QJsonObject root = document.object();
    for (const QString &key : root.keys()) {
        if (key != QLatin1String("registers") && key != QLatin1String("identity") &&
            key != QLatin1String("port"))
            parsed.problems.append(
                {lines.value(key), QStringLiteral("unknown key \"%1\"").arg(key)});
    }
    if (!root.value("registers").isObject()) {
        parsed.problems.append({lines.value(QStringLiteral("registers")),
                                QStringLiteral("\"registers\" must be an object")});
        return parsed;
    }
    readSettings(root.value("registers").toObject(), QStringLiteral("registers"), lines, parsed);
    return parsed;
}

int lineAt(const QByteArray &text, int offset)
{
    return int(text.left(offset).count('\n')) + 1;
}

QString iniValue(const QString &value)
{
    if (value == value.trimmed() && !value.startsWith(Quote))
        return value;
    QString escaped = value;
    escaped.replace(Backslash, QStringLiteral("\\\\")).replace(Quote, QStringLiteral("\\\""));
    return Quote + escaped + Quote;
}

} // namespace ProfileSyntax
