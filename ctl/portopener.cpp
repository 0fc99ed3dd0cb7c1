#include "portopener.h"

#include "exitcode.h"
#include "openline.h"
#include "portholders.h"
#include "stop.h"

namespace PortOpener {

int exitCodeOf(LineFailure failure, const Stop &stop)
{
    switch (failure) {
    case LineFailure::None:
        return ExitCode::Ok;
    case LineFailure::Missing:
        return ExitCode::PortMissing;
    case LineFailure::Denied:
        return ExitCode::PortDenied;
    case LineFailure::Interrupted:
        return stop.exitCode();
    case LineFailure::Busy:
    case LineFailure::Unreachable:
    case LineFailure::Refused:
    case LineFailure::RateNotSet:
    case LineFailure::Gone:
    case LineFailure::Failed:
        break;
    }
    return ExitCode::PortError;
}

Opened openLine(const QString &name, int baud, const Stop &stop)
{
    const PortAddress address(name);
    OpenedLine opened = ::openLine(address, baud, stop.asked());
    QString message = opened.message;
    if (opened.failure == LineFailure::Busy) // name who holds it
        message = PortHolders::busyMessage(address.path(), PortHolders::of(address.path()),
                                           PortHolders::usbIds(address.path()));
    return {std::move(opened.line), {exitCodeOf(opened.failure, stop), message}};
}

} // namespace PortOpener
