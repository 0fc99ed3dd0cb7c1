#include "jobchain.h"

#include <QDeadlineTimer>

namespace JobChain {

PortJob then(const PortJob &first, const PortJob &second)
{
    return [first, second](const PortContext &context, ModemLine &line) {
        const JobResult before = first(context, line);
        if (before.isFailure())
            return before;
        JobResult result = second(context, line);
        result.detail = before.word() + QStringLiteral(": ") + before.detail +
                        QStringLiteral("; ") + result.detail;
        result.output.prepend(before.output);
        result.firmwareSha256 = before.firmwareSha256;
        return result;
    };
}

PortJob retried(const PortJob &job, const std::function<bool(const JobResult &)> &again,
                int boundMs)
{
    return [=](const PortContext &context, ModemLine &line) {
        const QDeadlineTimer deadline(boundMs);
        JobResult result = job(context, line);
        while (again(result) && !deadline.hasExpired() && !context.stop.requested() &&
               line.trouble().isEmpty())
            result = job(context, line);
        return result;
    };
}

} // namespace JobChain
