#include "jobresult.h"

#include "exitcode.h"

namespace {

JobResult made(int code, JobResult::Result result, QString detail, QString output = {})
{
    JobResult made;
    made.code = code;
    made.result = result;
    made.detail = std::move(detail);
    made.output = std::move(output);
    return made;
}

} // namespace

JobResult JobResult::done(Result result, QString detail, QString output)
{
    return made(ExitCode::Ok, result, std::move(detail), std::move(output));
}

JobResult JobResult::different(QString detail, QString output)
{
    return made(ExitCode::Different, Result::Different, std::move(detail), std::move(output));
}

JobResult JobResult::failure(int code, QString detail)
{
    return made(code, Result::Failed, std::move(detail));
}

JobResult JobResult::refused(int code, QString detail)
{
    return made(code, Result::Refused, std::move(detail));
}

JobResult JobResult::interrupted(int code, QString detail)
{
    return made(code, Result::Interrupted, std::move(detail));
}

void JobResult::fail(int failureCode)
{
    code = failureCode;
    result = Result::Failed;
}

bool JobResult::isFailure() const
{
    return code != ExitCode::Ok && code != ExitCode::Different;
}

QString JobResult::wordOf(Result result)
{
    switch (result) {
    case Result::Read:
        return QStringLiteral("read");
    case Result::Equal:
        return QStringLiteral("equal");
    case Result::Different:
        return QStringLiteral("different");
    case Result::Applied:
        return QStringLiteral("applied");
    case Result::Planned:
        return QStringLiteral("planned");
    case Result::Reset:
        return QStringLiteral("reset");
    case Result::Probed:
        return QStringLiteral("probed");
    case Result::BackedUp:
        return QStringLiteral("backed up");
    case Result::Upgraded:
        return QStringLiteral("upgraded");
    case Result::Refused:
        return QStringLiteral("refused");
    case Result::Vanished:
        return QStringLiteral("vanished");
    case Result::Interrupted:
        return QStringLiteral("interrupted");
    case Result::Failed:
        break;
    }
    return QStringLiteral("failed");
}
