#include "report.h"

#include <cstdio>

namespace Report {

void header()
{
    std::printf("| measurement | measured | held against | ratio | target | |\n"
                "|---|---|---|---|---|---|\n");
}

void print(const Row &row)
{
    std::printf("| %s | %s | %s | %.3f | %s | %s |\n", qPrintable(row.measurement),
                qPrintable(row.figure), qPrintable(row.reference), row.ratio,
                qPrintable(row.target),
                row.target.isEmpty() ? "" : (row.met ? "met" : "**missed**"));
    std::fflush(stdout);
}

QString ms(double milliseconds)
{
    return QString::number(milliseconds, 'f', 1) + QStringLiteral(" ms");
}

QString megabytes(qint64 kilobytes)
{
    return QString::number(kilobytes / 1024.0, 'f', 1) + QStringLiteral(" MiB");
}

} // namespace Report
