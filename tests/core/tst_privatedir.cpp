#include "core/privatedir.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using tessary::ensurePrivateDirectory;

class PrivateDirectory : public QObject {
    Q_OBJECT
private slots:
    void createdOwnerOnly();
    void existingDirectoryIsTightened();
    void symlinkIsRefused();
    void foreignOwnerIsRefused();
    void plainFileIsRefused();
    void runtimeDirectoryIsPreferred();

private:
    static mode_t modeOf(const QString &path)
    {
        struct stat info {};
        ::lstat(QFile::encodeName(path).constData(), &info);
        return info.st_mode & 0777;
    }
    QTemporaryDir m_root;
};

void PrivateDirectory::createdOwnerOnly()
{
    const QString path = m_root.filePath("fresh");
    QCOMPARE(ensurePrivateDirectory(path), path);
    QCOMPARE(modeOf(path), mode_t(0700));
}

void PrivateDirectory::existingDirectoryIsTightened()
{
    const QString path = m_root.filePath("loose");
    QVERIFY(::mkdir(QFile::encodeName(path).constData(), 0777) == 0);
    ::chmod(QFile::encodeName(path).constData(), 0777);
    QCOMPARE(ensurePrivateDirectory(path), path);
    QCOMPARE(modeOf(path), mode_t(0700));
}

void PrivateDirectory::symlinkIsRefused()
{
    const QString target = m_root.filePath("elsewhere");
    QVERIFY(ensurePrivateDirectory(target));
    const QString link = m_root.filePath("planted");
    QVERIFY(QFile::link(target, link));
    QCOMPARE(ensurePrivateDirectory(link), std::nullopt);
}

void PrivateDirectory::foreignOwnerIsRefused()
{
    if (::geteuid() != 0)
        QSKIP("handing a directory to another user needs root");
    const QString path = m_root.filePath("someone-elses");
    QVERIFY(::mkdir(QFile::encodeName(path).constData(), 0700) == 0);
    QVERIFY(::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0);
    QCOMPARE(ensurePrivateDirectory(path), std::nullopt);
}

void PrivateDirectory::plainFileIsRefused()
{
    const QString path = m_root.filePath("a-file");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(ensurePrivateDirectory(path), std::nullopt);
}

void PrivateDirectory::runtimeDirectoryIsPreferred()
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_root.path()));
    QCOMPARE(tessary::privateRuntimeDirectory(), m_root.filePath("tessary"));
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(m_root.path()));
    QCOMPARE(tessary::privateRuntimeDirectory(),
             m_root.filePath("tessary-" + QString::number(::geteuid())));
}

QTEST_GUILESS_MAIN(PrivateDirectory)
#include "tst_privatedir.moc"
