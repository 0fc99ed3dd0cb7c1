#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

// A file system with no room left: a small tmpfs mounted on a folder of the test's (which takes
// root, or CAP_SYS_ADMIN) and filled up, so that writing a file there fails with ENOSPC.
class FullFileSystem
{
public:
    explicit FullFileSystem(const QString &folder) : m_folder(QFile::encodeName(folder))
    {
        if (!QDir().mkpath(folder) || ::mount("tmpfs", m_folder.constData(), "tmpfs",
                                              MS_NOSUID | MS_NODEV, "size=16k,mode=0755") != 0) {
            m_problem = QStringLiteral("cannot mount a small tmpfs (%1): a full file system "
                                       "needs root")
                            .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        m_mounted = true;
        const int filler = ::open(QByteArray(m_folder + "/filler").constData(),
                                  O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        const QByteArray block(4096, 'x');
        errno = 0;
        for (int i = 0; filler >= 0 && i < 16; ++i) { // 16 KiB at most
            if (::write(filler, block.constData(), size_t(block.size())) < 0)
                break;
        }
        if (filler < 0 || errno != ENOSPC)
            m_problem = QStringLiteral("the tmpfs did not fill up");
        if (filler >= 0)
            ::close(filler);
    }
    ~FullFileSystem()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    FullFileSystem(const FullFileSystem &) = delete;
    FullFileSystem &operator=(const FullFileSystem &) = delete;

    // Why there is no full file system; empty when there is one.
    QString problem() const { return m_problem; }

private:
    QByteArray m_folder;
    bool m_mounted = false;
    QString m_problem;
};
