// The immutable flag through the file system's ioctl, the small disk through
// mount(2): no outside tools, and the reason of a refusal in plain words.
#include "faults/faultutil.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <QFile>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace
{

// Sets or clears the flag; "" on success, else why not.
QString setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    int flags = 0;
    QString why;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
        why = QString::fromLocal8Bit(std::strerror(errno));
    } else {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0)
            why = QString::fromLocal8Bit(std::strerror(errno));
    }
    ::close(fd);
    return why;
}

} // namespace

Immutable::Immutable(const QString &path) : m_path(path)
{
    m_reason = setImmutable(path, true);
    m_set = m_reason.isEmpty();
    if (!m_set)
        m_reason = QStringLiteral("cannot make %1 immutable: %2").arg(path, m_reason);
}

Immutable::~Immutable()
{
    if (m_set)
        setImmutable(m_path, false);
}

SmallDisk::SmallDisk(const QString &folder, const char *size) : m_folder(folder)
{
    const QByteArray options = QByteArray("size=") + size;
    m_mounted = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                        options.constData()) == 0;
    if (!m_mounted)
        m_reason = QStringLiteral("cannot mount a tmpfs on %1: %2")
                       .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
