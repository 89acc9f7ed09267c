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
        // Another user's directory: one given away when running as root, else the root
        // directory (refused before anything is changed, as it is not ours).
        QString foreign = QStringLiteral("/");
        if (::geteuid() == 0) {
            foreign = m_root.filePath("foreign");
            ::mkdir(path("foreign"), 0700);
            QCOMPARE(::chown(path("foreign"), 65534, 65534), 0);
        }
        for (const QString &planted :
             {m_root.filePath("symlink"), m_root.filePath("file"), foreign})
            QCOMPARE(ensurePrivateDirectory(planted), std::nullopt);
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
