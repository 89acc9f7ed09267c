// The "Open on launch" model: which statuses show on, that reading never writes, and that a
// failed change keeps the state and reports exactly one line.

#include "settings/backgroundportal.h"
#include "settings/launchatlogin.h"
#include "settings/xdgautostart.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tessary;

namespace {

class FakeLoginItem : public LoginItem {
public:
    LoginItemStatus current = LoginItemStatus::NotRegistered;
    QString failWith;
    std::function<void()> during; // runs inside enable(), as a portal's wait would
    int enables = 0;
    int disables = 0;

    LoginItemStatus status() override { return current; }
    LoginItemResult enable() override
    {
        ++enables;
        if (during)
            during();
        return change(LoginItemStatus::Enabled);
    }
    LoginItemResult disable() override
    {
        ++disables;
        return change(LoginItemStatus::NotRegistered);
    }

private:
    LoginItemResult change(LoginItemStatus to)
    {
        if (!failWith.isEmpty())
            return LoginItemResult::failure(failWith);
        current = to;
        return LoginItemResult::success();
    }
};

QStringList *g_categoryLines = nullptr;
QtMessageHandler g_previousHandler = nullptr;

void captureCategory(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (g_categoryLines && qstrcmp(context.category, "tessary.launchatlogin") == 0) {
        g_categoryLines->append(message);
        return;
    }
    g_previousHandler(type, context, message);
}

} // namespace

class TestLaunchAtLogin : public QObject {
    Q_OBJECT

    std::shared_ptr<FakeLoginItem> m_item;
    QStringList m_lines;
    std::unique_ptr<LaunchAtLogin> m_model;

private slots:
    void init()
    {
        m_item = std::make_shared<FakeLoginItem>();
        m_lines.clear();
        m_model = std::make_unique<LaunchAtLogin>(
            m_item, [this](const QString &line) { m_lines.append(line); });
    }

    void onlyEnabledShowsOn_data()
    {
        QTest::addColumn<LoginItemStatus>("status");
        QTest::addColumn<bool>("on");
        QTest::newRow("enabled") << LoginItemStatus::Enabled << true;
        QTest::newRow("not registered") << LoginItemStatus::NotRegistered << false;
        QTest::newRow("disabled") << LoginItemStatus::Disabled << false;
        QTest::newRow("broken") << LoginItemStatus::Broken << false;
        QTest::newRow("not ours") << LoginItemStatus::NotOurs << false;
        QTest::newRow("unknown") << LoginItemStatus::Unknown << false;
    }

    void onlyEnabledShowsOn()
    {
        QFETCH(LoginItemStatus, status);
        QFETCH(bool, on);
        m_item->current = status;
        m_model->refresh();
        QCOMPARE(m_model->isEnabled(), on);
        // Reading is all a refresh does.
        m_model->refresh();
        QCOMPARE(m_item->enables + m_item->disables, 0);
        QVERIFY(m_lines.isEmpty());
    }

    void flippingCallsTheLoginItemOnce()
    {
        m_item->current = LoginItemStatus::Enabled;
        m_model->refresh();
        QSignalSpy changed(m_model.get(), &LaunchAtLogin::enabledChanged);
        m_model->setEnabled(false);
        QCOMPARE(m_item->disables, 1);
        QCOMPARE(m_model->isEnabled(), false);
        QCOMPARE(changed.size(), 1);
        m_model->setEnabled(false);
        QCOMPARE(m_item->disables, 1);

        // Awaiting approval (here: disabled by the desktop) shows off; switching on registers.
        m_item->current = LoginItemStatus::Disabled;
        m_model->refresh();
        m_model->setEnabled(true);
        QCOMPARE(m_item->enables, 1);
        QCOMPARE(m_model->isEnabled(), true);
        QVERIFY(m_lines.isEmpty());
    }

    void failureKeepsTheStateAndLogsOneLine()
    {
        m_item->failWith = QStringLiteral("cannot write /x/y.desktop: the disk\nis full");
        QSignalSpy changed(m_model.get(), &LaunchAtLogin::enabledChanged);
        m_model->setEnabled(true);
        QCOMPARE(m_model->isEnabled(), false);
        QCOMPARE(changed.size(), 0);
        QCOMPARE(m_lines,
                 QStringList{
                     "Tessary launch-at-login error: cannot write /x/y.desktop: the disk is full"});
        QVERIFY(!m_model->isBusy());
    }

    void blockedAutostartFolderGivesOneActionableLine()
    {
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
        qputenv("XDG_CONFIG_DIRS", dir.filePath("none").toUtf8());
        QFile blocker(dir.filePath("autostart"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        auto xdg = std::make_shared<XdgAutostart>(QStringLiteral("/usr/bin/tessary"));
        LaunchAtLogin model(xdg, [this](const QString &line) { m_lines.append(line); });
        model.refresh();
        model.setEnabled(true);
        QCOMPARE(model.isEnabled(), false);
        QCOMPARE(m_lines.size(), 1);
        QVERIFY(m_lines[0].startsWith("Tessary launch-at-login error: "));
        QVERIFY2(m_lines[0].contains(xdg->userEntryPath()), qPrintable(m_lines[0]));
        QVERIFY2(m_lines[0].contains(dir.filePath("autostart") + " is a file, not a folder"),
                 qPrintable(m_lines[0]));
    }

    // While a portal request waits, the screen and its model may go away.
    void modelDestroyedDuringARequest()
    {
        m_item->failWith = QStringLiteral("cancelled");
        m_item->during = [this] { m_model.reset(); };
        m_model->setEnabled(true);
        QVERIFY(!m_model);
        QCOMPARE(m_lines.size(), 1);
    }

    // The system log sink also writes the line to the application's logging category.
    void systemLogWritesTheCategory()
    {
        QStringList lines;
        g_categoryLines = &lines;
        g_previousHandler = qInstallMessageHandler(captureCategory);
        writeToSystemLog(QStringLiteral("Tessary launch-at-login error: 100% %s %n"));
        qInstallMessageHandler(g_previousHandler);
        g_categoryLines = nullptr;
        QCOMPARE(lines, QStringList{"Tessary launch-at-login error: 100% %s %n"});
    }

    void flatpakSandboxUsesThePortal()
    {
        QTemporaryDir dir;
        const QString info = dir.filePath(".flatpak-info");
        QVERIFY(dynamic_cast<XdgAutostart *>(createLoginItem(info).get()));
        QFile file(info);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(dynamic_cast<BackgroundPortal *>(createLoginItem(info).get()));
    }
};

QTEST_GUILESS_MAIN(TestLaunchAtLogin)
#include "tst_launchatlogin.moc"
