// The installed program's command line, run as a user would: --help and --version answer without
// a display, and anything else is refused with status 2 and a word on what went wrong.
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void answersWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // a pattern for stdout
        QTest::addColumn<QString>("err"); // a pattern for stderr

        const QString help = uR"(^Usage: \S*tessary \[options\]\n.*-h, --help.*-v, --version)"_s;
        const QString version = u"^tessary " TESSARY_VERSION "\n$"_s;
        const QString nothing = u"^$"_s;
        QTest::newRow("--help") << QStringList{u"--help"_s} << 0 << help << nothing;
        QTest::newRow("-h") << QStringList{u"-h"_s} << 0 << help << nothing;
        QTest::newRow("--version") << QStringList{u"--version"_s} << 0 << version << nothing;
        QTest::newRow("-v") << QStringList{u"-v"_s} << 0 << version << nothing;

        const auto refused = [&](const char *name, QStringList arguments, const QString &what) {
            QTest::newRow(name) << arguments << 2 << nothing
                                << uR"(^tessary: .*%1.*\nTry .tessary --help. for more)"_s.arg(
                                       what);
        };
        refused("unknown option", {u"--bogus"_s}, u"bogus"_s);
        refused("a file", {u"notes.txt"_s}, u"notes\\.txt"_s);
        refused("help with a file", {u"--help"_s, u"notes.txt"_s}, u"notes\\.txt"_s);
        refused("a lone --", {u"--"_s}, u"--"_s);
        refused("Qt's own option", {u"-platform"_s, u"offscreen"_s}, u"'platform'"_s);
        refused("an option's value", {u"--version=2"_s}, u"version"_s);
    }

    void answersWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const auto name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        env.insert(u"LANGUAGE"_s, u"en"_s); // the texts matched here are the English ones
        QProcess tessary;
        tessary.setProcessEnvironment(env);
        tessary.start(QStringLiteral(TESSARY_BINARY), arguments);
        QVERIFY(tessary.waitForFinished(30000));
        QCOMPARE(tessary.exitStatus(), QProcess::NormalExit);
        const QString stdOut = QString::fromUtf8(tessary.readAllStandardOutput());
        const QString stdErr = QString::fromUtf8(tessary.readAllStandardError());
        QCOMPARE(tessary.exitCode(), status);
        const auto matches = [](const QString &pattern, const QString &text) {
            return QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption)
                .match(text)
                .hasMatch();
        };
        QVERIFY2(matches(out, stdOut), qPrintable(stdOut));
        QVERIFY2(matches(err, stdErr), qPrintable(stdErr));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
