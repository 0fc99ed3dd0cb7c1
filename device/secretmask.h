#pragma once

#include "modemline.h"

#include <QByteArray>

// Hides the encryption key in one direction of a transcript: every byte of the value of
// Register is shown as Hidden, so the text keeps its length. It follows the stream burst by
// burst, without looking ahead, so a value split across bursts is hidden too:
//   sent or echoed write   ATS160=<value>\r
//   listing entry          S160 Encryption key=<value>   (up to a blank, tab or line end)
//   single query answer    ATS160?\r\n<value>\r\n         (received only)
class SecretMask
{
public:
    static constexpr char Register[] = "S160";
    static constexpr char Hidden = '*';

    explicit SecretMask(ModemLine::Direction direction) : m_direction(direction) {}

    QByteArray masked(QByteArray bytes);

private:
    enum class State { Plain, AfterName, Value, ListingValue, QueryEnd, QueryValue };

    State next(char c);

    ModemLine::Direction m_direction;
    State m_state = State::Plain;
    QByteArray m_recent;     // the last characters, to find the name
    bool m_labelled = false; // something stood between the name and "="
};
