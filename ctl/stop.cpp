#include "stop.h"

#include "interrupt.h"

void Stop::request(int exitCode)
{
    int none = 0;
    m_code.compare_exchange_strong(none, exitCode);
}

int Stop::exitCode() const
{
    const int code = m_code.load();
    if (code == 0 && m_source == Source::Signals && Interrupt::requested())
        return Interrupt::exitCode();
    return code;
}
