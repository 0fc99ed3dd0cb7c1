#pragma once

#include "outputfile.h"
#include "portjob.h"

#include <QByteArray>
#include <QMutex>
#include <QString>

class ModemLine;

// The records a run leaves for later: the transcript of every byte each port sent and received,
// and the report, one JSON object a line for each port's result. Both files are appended to,
// a whole line at a time, from every port's thread; "-" stands for standard output.
class RunLog
{
public:
    explicit RunLog(const QString &command);

    // Opens the transcript (readable by its owner only) or the report (created readable by its
    // owner only) for appending; an empty path opens nothing. The problem, naming the file, when
    // it cannot. The transcript shows the encryption key as "*" characters (see secretmask.h)
    // unless `showSecrets`.
    QString openTranscript(const QString &path, bool showSecrets = false);
    QString openReport(const QString &path);

    // Sends the line's bytes to the transcript under the port's name.
    void tap(ModemLine &line, const QString &port);
    void record(const PortResult &result);
    // The first line the transcript or the report could not keep, naming the file and the
    // reason (said on standard error when it happened); empty while they kept every line.
    QString lost() const;

    // One line of the report, keys in a fixed order: time, command, port, baud, exit, result,
    // detail, identity (I1..I4, each null when not read), written, failed, not_written, seconds,
    // serial_rate (from, to, confirmed; null when the rate was not changed), identity_before and
    // restored (an upgrade that kept the settings: the identity before it and the registers
    // written back; else null), firmware_sha256 (null when no firmware was sent); then, only
    // when there are, the site plan's section and the network's problems (net audit).
    static QByteArray reportLine(const QString &command, const PortResult &result);

private:
    struct File
    {
        QString path;
        OutputFile::Appender appender; // unused for standard output
    };

    static QString open(File &file, const QString &path, bool makePrivate);
    void append(File &file, const QByteArray &line);

    QString m_command;
    File m_transcript;
    File m_report;
    mutable QMutex m_lostLock;
    QString m_lost;
    bool m_showSecrets = false;
};
