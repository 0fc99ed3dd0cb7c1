#include "atdialogue.h"

#include "registerbank.h"
#include "replymarkers.h"
#include "simconstants.h"

namespace {

using ReplyMarkers::LineEnd;
using ReplyMarkers::ReplyEnd;

const QByteArray Escape("+++");
const QByteArray Error("ERROR\r\n");

} // namespace

AtDialogue::AtDialogue(RegisterBank &registers) : m_registers(registers) {}

QByteArray AtDialogue::greeting()
{
    return LineEnd + ReplyMarkers::Greeting + ReplyEnd;
}

void AtDialogue::enterDataMode()
{
    m_commandMode = false;
    m_escape.clear();
    m_line.clear();
    m_lineTooLong = false;
}

void AtDialogue::ignoreEscape()
{
    m_commandMode = m_escapedFromCommandMode;
    if (m_commandMode)
        m_line = Escape;
}

std::optional<SimReply> AtDialogue::take(char byte, qint64 nowMs)
{
    return m_commandMode ? takeCommandByte(byte) : takeData(byte, nowMs);
}

// Data would go out over the air; only "+++" preceded by a quiet spell switches to AT mode.
std::optional<SimReply> AtDialogue::takeData(char byte, qint64 nowMs)
{
    if (nowMs - m_lastDataMs > SimConstants::EscapeGuard)
        m_escape.clear();
    m_lastDataMs = nowMs;
    m_escape += byte;
    m_escape = m_escape.right(Escape.size() + 1);
    if (m_escape != Escape)
        return std::nullopt;
    m_commandMode = true;
    m_escapedFromCommandMode = false;
    m_escape.clear();
    m_line.clear();
    return SimReply{SimReply::Kind::Greeting, greeting()};
}

std::optional<SimReply> AtDialogue::takeCommandByte(char byte)
{
    if (byte == '\r') {
        const QByteArray command = m_lineTooLong ? QByteArray("?") : m_line;
        m_line.clear();
        m_lineTooLong = false;
        if (command.isEmpty())
            return std::nullopt;
        return execute(command);
    }
    if (byte == '\n' && m_line.isEmpty())
        return std::nullopt;
    if (m_line.size() >= SimConstants::MaxCommandLength) {
        m_lineTooLong = true;
        return std::nullopt;
    }
    m_line += byte;
    if (m_line != Escape)
        return std::nullopt;
    m_line.clear();
    m_escapedFromCommandMode = true;
    return SimReply{SimReply::Kind::Greeting, greeting()};
}

SimReply AtDialogue::execute(const QByteArray &command)
{
    if (command == "AT&UP")
        return {SimReply::Kind::Announcement, ReplyMarkers::UpdateAnnouncement};
    const bool query = command.startsWith("ATS") && command.endsWith('?');
    return {query ? SimReply::Kind::Query : SimReply::Kind::Answer,
            command + LineEnd + result(command)};
}

// The reply after the echo.
QByteArray AtDialogue::result(const QByteArray &command)
{
    if (command == "AT")
        return ReplyEnd;
    if (command == "AT&V")
        return m_registers.listing() + ReplyEnd;
    if (command == "AT&W") {
        m_registers.store();
        return ReplyEnd;
    }
    if (command == "ATA") {
        enterDataMode();
        return ReplyEnd;
    }
    if (command.startsWith("AT&F"))
        return preset(command);
    if (command.startsWith("ATS") && command.endsWith('?'))
        return query(command);
    if (command.startsWith("ATS") && command.contains('='))
        return assign(command);
    return Error;
}

QByteArray AtDialogue::query(const QByteArray &command)
{
    const QString name = QString::fromLatin1(command.mid(2, command.size() - 3));
    if (!m_registers.contains(name))
        return Error;
    return m_registers.value(name).toLatin1() + LineEnd + ReplyEnd;
}

QByteArray AtDialogue::assign(const QByteArray &command)
{
    const int equals = command.indexOf('=');
    const QString name = QString::fromLatin1(command.mid(2, equals - 2));
    const QString value = QString::fromLatin1(command.mid(equals + 1));
    return m_registers.write(name, value) ? ReplyEnd : Error;
}

QByteArray AtDialogue::preset(const QByteArray &command)
{
    const QByteArray code = command.mid(4);
    bool isNumber = false;
    const int number = code.toInt(&isNumber);
    const bool plain = isNumber && QByteArray::number(number) == code;
    return plain && m_registers.applyPreset(number) ? ReplyEnd : Error;
}
