#include "secretmask.h"

namespace {

bool endsLine(char c)
{
    return c == '\r' || c == '\n';
}

} // namespace

QByteArray SecretMask::masked(QByteArray bytes)
{
    for (char &c : bytes) {
        const State before = m_state;
        m_state = next(c);
        const bool inValue =
            before == State::Value || before == State::ListingValue || before == State::QueryValue;
        if (inValue && m_state == before)
            c = Hidden;
    }
    return bytes;
}

// The state after `c`: a value's state holds while its characters pass.
SecretMask::State SecretMask::next(char c)
{
    switch (m_state) {
    case State::Plain:
        m_recent = QByteArray(m_recent + char(QChar::toUpper(uint(uchar(c)))))
                       .right(int(sizeof(Register)) - 1);
        if (m_recent != Register)
            return State::Plain;
        m_labelled = false;
        return State::AfterName;
    case State::AfterName:
        if (c == '=')
            return m_labelled ? State::ListingValue : State::Value;
        if (c == '?')
            return m_direction == ModemLine::Direction::Received ? State::QueryEnd : State::Plain;
        if (endsLine(c) || (!m_labelled && c >= '0' && c <= '9'))
            return State::Plain; // a longer name, or no value on this line
        m_labelled = true;
        return State::AfterName;
    case State::Value:
        return endsLine(c) ? State::Plain : State::Value;
    case State::ListingValue:
        return endsLine(c) || c == ' ' || c == '\t' ? State::Plain : State::ListingValue;
    case State::QueryEnd:
        return c == '\n' ? State::QueryValue : State::QueryEnd;
    case State::QueryValue:
        return endsLine(c) ? State::Plain : State::QueryValue;
    }
    return State::Plain;
}
