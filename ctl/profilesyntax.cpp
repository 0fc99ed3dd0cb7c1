#include "profilesyntax.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QRegularExpression>
#include <cmath>

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

// The 1-based line of a byte offset.
int lineAt(const QByteArray &text, int offset)
{
    return int(text.left(offset).count('\n')) + 1;
}

// The line of the first "key": at or after `from`, 0 when there is none.
int lineOfKey(const QByteArray &text, const QString &key, int from = 0)
{
    const QRegularExpression pattern(
        QStringLiteral("\"%1\"\\s*:").arg(QRegularExpression::escape(key)));
    const QString decoded = QString::fromUtf8(text);
    const QRegularExpressionMatch match = pattern.match(decoded, from);
    return match.hasMatch() ? int(decoded.left(match.capturedStart()).count(QLatin1Char('\n'))) + 1
                            : 0;
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

void readRegisters(const QByteArray &text, const QJsonObject &registers, int from, Parsed &parsed)
{
    for (auto it = registers.begin(); it != registers.end(); ++it) {
        const int line = lineOfKey(text, it.key(), from);
        const QJsonValue held =
            it.value().isObject() ? it.value().toObject().value("value") : it.value();
        if (const auto value = scalarText(held))
            parsed.entries.append({it.key(), *value, line});
        else
            parsed.problems.append(
                {line, QStringLiteral("%1: the value must be text or a number").arg(it.key())});
    }
}

} // namespace

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

Parsed parseJson(const QByteArray &text)
{
    Parsed parsed;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        parsed.problems.append({lineAt(text, error.offset), error.errorString()});
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
                {lineOfKey(text, key), QStringLiteral("unknown key \"%1\"").arg(key)});
    }
    if (!root.value("registers").isObject()) {
        parsed.problems.append({lineOfKey(text, QStringLiteral("registers")),
                                QStringLiteral("\"registers\" must be an object")});
        return parsed;
    }
    // Register names are looked up behind "registers", where the identity cannot shadow them.
    const int from = QString::fromUtf8(text).indexOf(QStringLiteral("\"registers\""));
    readRegisters(text, root.value("registers").toObject(), qMax(from, 0), parsed);
    return parsed;
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
