#pragma once

#include <QString>

// One row of the results table, printed to standard output in Markdown.
namespace Report {

struct Row
{
    QString measurement;
    QString figure;    // what was measured
    QString reference; // the limit or the comparison it is held against
    double ratio;      // figure / reference, or reference / figure for a fraction
    QString target;    // empty when there is none
    bool met;
};

void header();
void print(const Row &row);
QString ms(double milliseconds);
QString megabytes(qint64 kilobytes);

} // namespace Report
