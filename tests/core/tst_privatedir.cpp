#include "core/privatedir.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using tessary::ensurePrivateDirectory;

class PrivateDirectory : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;
    QByteArray path(const char *name) { return QFile::encodeName(m_root.filePath(name)); }

private slots:
    void createdOrTightenedToOwnerOnly()
    {
        ::mkdir(path("loose"), 0777);
        ::chmod(path("loose"), 0777);
        for (const char *name : {"fresh", "loose"}) {
            QVERIFY(ensurePrivateDirectory(m_root.filePath(name)));
            struct stat info {};
            ::lstat(path(name), &info);
            QCOMPARE(info.st_mode & 0777, 0700u);
        }
    }

    void plantedPathsAreRefused()
    {
        QVERIFY(QFile::link(m_root.filePath("fresh"), m_root.filePath("symlink")));
        QFile(m_root.filePath("file")).open(QIODevice::WriteOnly);
        ::mkdir(path("foreign"), 0700);
        QVERIFY(::geteuid() != 0 || ::chown(path("foreign"), 65534, 65534) == 0);
        for (const char *name : {"symlink", "file", "foreign"})
            QCOMPARE(ensurePrivateDirectory(m_root.filePath(name)), std::nullopt);
    }

    void runtimeDirectoryIsPreferred()
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_root.path()));
        QCOMPARE(tessary::privateRuntimeDirectory(), m_root.filePath("tessary"));
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(m_root.path()));
        QCOMPARE(tessary::privateRuntimeDirectory(),
                 m_root.filePath("tessary-" + QString::number(::geteuid())));
    }
};

QTEST_GUILESS_MAIN(PrivateDirectory)
#include "tst_privatedir.moc"
