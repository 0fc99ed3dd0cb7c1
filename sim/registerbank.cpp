#include "registerbank.h"

#include "registercatalog.h"
#include "simconstants.h"

#include <QVector>
#include <algorithm>
#include <utility>

namespace {

struct Span
{
    quint64 low;
    quint64 high;
};

// A register of the modem. For a key register the spans bound its length in characters.
struct SimRegister
{
    const char *name;
    const char *label;
    const char *factoryValue;
    const char *ending; // what follows the value in the listing
    bool isKey;
    QVector<Span> spans;
};

// In listing order. The key comes last: its text is the operator's and may contain anything
// that looks like another entry.
const QVector<SimRegister> &registerTable()
{
    static const QVector<SimRegister> table = {
        {"S101", "Operating mode", "2", "\t", false, {{0, 2}}},
        {"S102", "Serial baud", "7", "\t", false, {{0, 9}, {15, 16}}},
        {"S103", "Air rate", "4", "\r\n", false, {{0, 4}}},
        {"S104", "Network ID", "1234567", " ", false, {{0, 4294967295ULL}}},
        {"S105", "Unit address", "2", "\r\n", false, {{0, 65535}}},
        {"S108", "Output power dBm", "30", "\t", false, {{0, 30}}},
        {"S110", "Serial format", "1", "\r\n", false, {{0, 1}}},
        {"S113", "Retransmissions", "3", " ", false, {{0, 255}}},
        {"S114", "Repeater index", "1", " ", false, {{1, 254}}},
        {"S118", "Sync address", "1", "\r\n", false, {{0, 65535}}},
        {"S133", "Network type", "0", "\t", false, {{0, 2}}},
        {"S140", "Destination", "1", "\t", false, {{0, 65535}}},
        {"S141", "Repeaters", "0", "\r\n", false, {{0, 1}}},
        {"S142", "Port type", "0", " ", false, {{0, 2}}},
        {"S143", "GPIO index", "0", "\r\n", false, {{0, 1}}},
        {"S150", "Hop channel", "12", "\t", false, {{0, 63}}},
        {"S159", "Encryption", "0", "\r\n", false, {{0, 1}}},
        {"S220", "TDMA slots", "4", " ", false, {{1, 254}}},
        {"S221", "TDMA max address", "64", "\r\n", false, {{0, 65535}}},
        {"S236", "Link timeout ms", "300", "\t", false, {{0, 65535}}},
        {"S244", "Channel access", "0", "\r\n", false, {{0, 2}}},
        {"S160", "Encryption key", "dr58key", "\r\n", true, {{1, 16}}},
    };
    return table;
}

const SimRegister *findRegister(const QString &name)
{
    const auto &table = registerTable();
    const auto it = std::find_if(table.begin(), table.end(), [&](const SimRegister &reg) {
        return name == QLatin1String(reg.name);
    });
    return it == table.end() ? nullptr : &*it;
}

bool inSpans(quint64 value, const QVector<Span> &spans)
{
    return std::any_of(spans.begin(), spans.end(),
                       [value](const Span &s) { return value >= s.low && value <= s.high; });
}

bool isKeyText(const QString &value)
{
    return std::all_of(value.begin(), value.end(), [](QChar c) {
        return c.unicode() > 0x20 && c.unicode() < 0xFF && c.unicode() != 0x7F;
    });
}

bool isDecimal(const QString &value)
{
    return !value.isEmpty() && value.size() <= 10 &&
           std::all_of(value.begin(), value.end(), [](QChar c) { return c.isDigit(); });
}

// What each preset code changes on top of the factory values: the network type, the role
// and the addresses that suit it.
const QHash<int, QVector<std::pair<const char *, const char *>>> &presetTable()
{
    static const QHash<int, QVector<std::pair<const char *, const char *>>> table = {
        {4, {{"S133", "2"}, {"S101", "0"}, {"S105", "1"}, {"S244", "1"}}},
        {5, {{"S133", "2"}, {"S101", "2"}, {"S105", "2"}, {"S140", "1"}, {"S244", "1"}}},
        {7, {{"S133", "0"}, {"S101", "0"}, {"S105", "1"}, {"S140", "65535"}}},
        {8, {{"S133", "0"}, {"S101", "2"}, {"S105", "2"}, {"S140", "1"}}},
        {9, {{"S133", "0"}, {"S101", "1"}, {"S105", "3"}, {"S114", "1"}}},
        {10, {{"S133", "1"}, {"S101", "0"}, {"S105", "0"}, {"S141", "0"}}},
        {11, {{"S133", "1"}, {"S101", "2"}, {"S105", "0"}}},
        {12, {{"S133", "1"}, {"S101", "1"}, {"S105", "0"}, {"S114", "1"}}},
    };
    return table;
}

// The versions an update brings.
const char NewFirmware[] = "3.4.0 (2026-11-30)";
const char NewSoftware[] = "1.1.0";

// In the order of RegisterBank::Identity.
const std::array<const char *, 4> FactoryIdentity = {"DR58-H2.1", "3.3.7 (2023-04-19)", "1.0.12",
                                                     "5821A0419017"};

} // namespace

RegisterBank::RegisterBank()
{
    std::copy(FactoryIdentity.begin(), FactoryIdentity.end(), m_identity.begin());
    loadFactoryValues();
    store();
}

QStringList RegisterBank::names() const
{
    QStringList result;
    for (const SimRegister &reg : registerTable())
        result << QLatin1String(reg.name);
    return result;
}

bool RegisterBank::contains(const QString &name) const
{
    return findRegister(name) != nullptr;
}

QString RegisterBank::value(const QString &name) const
{
    return m_working.value(name);
}

QString RegisterBank::storedValue(const QString &name) const
{
    return m_stored.value(name);
}

bool RegisterBank::accepts(const QString &name, const QString &value)
{
    const SimRegister *reg = findRegister(name);
    if (!reg)
        return false;
    if (reg->isKey)
        return inSpans(quint64(value.size()), reg->spans) && isKeyText(value);
    return isDecimal(value) && inSpans(value.toULongLong(), reg->spans);
}

bool RegisterBank::write(const QString &name, const QString &value)
{
    if (!accepts(name, value))
        return false;
    const bool isKey = findRegister(name)->isKey;
    m_working.insert(name, isKey ? value : QString::number(value.toULongLong()));
    return true;
}

void RegisterBank::setValue(const QString &name, const QString &value)
{
    if (contains(name))
        m_working.insert(name, value);
}

void RegisterBank::setStoredValue(const QString &name, const QString &value)
{
    if (contains(name))
        m_stored.insert(name, value);
}

void RegisterBank::store()
{
    m_stored = m_working;
}

void RegisterBank::reload()
{
    m_working = m_stored;
}

void RegisterBank::resetKeepingRate()
{
    const QString rate = m_stored.value(QStringLiteral("S102"));
    loadFactoryValues();
    m_working.insert(QStringLiteral("S102"), rate);
    store();
}

void RegisterBank::takeNewVersion()
{
    m_identity.at(size_t(Identity::FirmwareVersion)) = NewFirmware;
    m_identity.at(size_t(Identity::SoftwareVersion)) = NewSoftware;
}

bool RegisterBank::applyPreset(int code)
{
    const auto preset = presetTable().constFind(code);
    if (preset == presetTable().constEnd())
        return false;
    loadFactoryValues();
    for (const auto &setting : *preset)
        m_working.insert(QLatin1String(setting.first), QLatin1String(setting.second));
    return true;
}

void RegisterBank::loadFactoryValues()
{
    for (const SimRegister &reg : registerTable())
        m_working.insert(QLatin1String(reg.name), QLatin1String(reg.factoryValue));
}

bool RegisterBank::setIdentity(Identity line, const QString &text)
{
    if (!acceptsIdentity(text))
        return false;
    m_identity.at(size_t(line)) = text.toLatin1();
    return true;
}

// Printable ASCII: a line end, a tab or a character outside Latin-1 would break the listing.
bool RegisterBank::acceptsIdentity(const QString &text)
{
    return !text.isEmpty() && text.size() <= SimConstants::MaxIdentityLength &&
           std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
}

QByteArray RegisterBank::listing() const
{
    QByteArray text;
    for (size_t i = 0; i < m_identity.size(); ++i) {
        text += RegisterCatalog::identityKey(QStringLiteral("I%1").arg(i + 1)) + m_identity.at(i);
        text += "\r\n";
    }
    text += "\r\n";
    for (const SimRegister &reg : registerTable()) {
        text += reg.name;
        text += ' ';
        text += reg.label;
        text += '=';
        text += value(QLatin1String(reg.name)).toLatin1();
        text += reg.ending;
    }
    return text;
}
