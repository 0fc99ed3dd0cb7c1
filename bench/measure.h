#pragma once

#include <QVector>
#include <QtGlobal>

// Clocks, memory and arithmetic shared by the benchmarks.
namespace Measure {

constexpr int BitsPerByte = 10; // start bit, 8 data bits, stop bit

qint64 nowNs(); // monotonic clock, comparable between processes of this machine
double median(QVector<double> values);
double wireMs(qint64 bytes, int rate); // line time of the bytes at the rate
qint64 peakResidentKb();               // VmHWM of this process
qint64 peakResidentKb(qint64 pid);     // VmHWM of another process of this machine
qint64 residentKb();                   // VmRSS of this process
double cpuMs();                        // CPU time of this process so far, user and system

} // namespace Measure
