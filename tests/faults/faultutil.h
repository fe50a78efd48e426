// What the fault tests need from the system: an immutable flag that even root
// cannot write through, and a small disk that fills up. Both are undone when
// the guard goes, whatever the test did in between.
#pragma once

#include <QString>

// Sets the immutable flag on a file or folder. ok() is false (with reason())
// where the file system or the caller's rights do not allow it.
class Immutable
{
  public:
    explicit Immutable(const QString &path);
    ~Immutable();
    Immutable(const Immutable &) = delete;
    Immutable &operator=(const Immutable &) = delete;
    bool ok() const { return m_set; }
    const QString &reason() const { return m_reason; }

  private:
    QString m_path;
    bool m_set = false;
    QString m_reason;
};

// A tmpfs of the given size mounted on an existing empty folder.
class SmallDisk
{
  public:
    SmallDisk(const QString &folder, const char *size);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;
    bool ok() const { return m_mounted; }
    const QString &reason() const { return m_reason; }

  private:
    QString m_folder;
    bool m_mounted = false;
    QString m_reason;
};

QByteArray fileBytes(const QString &path);
