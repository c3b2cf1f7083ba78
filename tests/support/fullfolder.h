#pragma once

// A folder on a full disk: a small tmpfs mounted in a temporary folder and filled up to `room`
// bytes, where the test may mount (as root, as CI runs). Elsewhere the nearest thing: the
// process's file-size limit lowered to `room` (SIGXFSZ ignored) until the folder goes. Files
// written before Fill stay as they are.

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>

class FullFolder {
public:
    explicit FullFolder(rlim_t room) : m_room(room) {
        m_disk = mount("tmpfs", m_name.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m") == 0;
        if (!m_disk) {
            qInfo("no tmpfs (%s): a file-size limit stands for the full disk", strerror(errno));
        }
    }
    ~FullFolder() {
        if (m_limited) {
            setrlimit(RLIMIT_FSIZE, &m_limit);
        }
        if (m_disk) {
            umount2(m_name.constData(), MNT_DETACH);
        }
    }

    QString Path() const { return m_dir.path(); }
    bool IsDisk() const { return m_disk; } // else only the files are limited
    // The system's words for a write that finds no room.
    QString Reason() const { return QString::fromLocal8Bit(strerror(m_disk ? ENOSPC : EFBIG)); }

    void Fill() {
        if (m_disk) {
            QFile filler(m_dir.filePath(QStringLiteral("filler")));
            filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
            while (filler.write(QByteArray(4096, 'f')) == 4096) {
            }
            filler.resize(filler.size() - qint64(m_room));
        } else {
            std::signal(SIGXFSZ, SIG_IGN);
            getrlimit(RLIMIT_FSIZE, &m_limit);
            const rlimit small{m_room, m_limit.rlim_max};
            m_limited = setrlimit(RLIMIT_FSIZE, &small) == 0;
        }
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_name = QFile::encodeName(m_dir.path());
    rlim_t m_room;
    bool m_disk = false;
    bool m_limited = false;
    rlimit m_limit{};
};
