// The global shortcut on an X11 session without the portal: a key grab on a private Xvfb,
// pressed with xdotool, with a private session bus that has no portal on it.
#include "clientprocess.h"
#include "platform/shortcuts/globalshortcut.h"
#include "platform/x11/x11keygrab.h"
#include "support/privatebus.h"
#include "x11testsupport.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <xkbcommon/xkbcommon-keysyms.h>

using namespace tessary;

namespace {

// xdotool key COMBO, e.g. "super+shift+v"; true when xdotool ran.
bool press(const QString &combo)
{
    return testing::runClient(QStringLiteral("xdotool"), {QStringLiteral("key"), combo})
        .has_value();
}

} // namespace

class X11KeyGrabTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::PrivateXServer> m_server;
    std::unique_ptr<testing::PrivateBus> m_bus;
    QTemporaryDir m_dir;

    std::unique_ptr<GlobalShortcut> startShortcut()
    {
        auto shortcut = std::make_unique<GlobalShortcut>(GlobalShortcut::Options{
            m_bus->connect(), true, {}, m_dir.filePath(QStringLiteral("tessary.conf"))});
        shortcut->start();
        // No portal answers on this bus: the grab is used.
        [&] { QTRY_COMPARE(shortcut->method(), GlobalShortcut::Method::KeyGrab); }();
        return shortcut;
    }

    // How often the shortcut fires for these key presses. The shortcut's own keys, pressed
    // after them, mark the end: X delivers events in order, so once that press arrives the
    // earlier ones have.
    static int firings(GlobalShortcut &shortcut, const QStringList &combos, const QString &own)
    {
        QSignalSpy activated(&shortcut, &GlobalShortcut::activated);
        for (const QString &combo : combos)
            press(combo);
        const qsizetype before = activated.size();
        press(own);
        if (!QTest::qWaitFor([&] { return activated.size() > before; }))
            return -1;
        return int(activated.size()) - 1;
    }

private slots:
    void initTestCase()
    {
        m_server = std::make_unique<testing::PrivateXServer>();
        m_bus = std::make_unique<testing::PrivateBus>();
        QVERIFY(m_server->isRunning() && m_bus->isRunning());
    }
    void cleanupTestCase()
    {
        m_bus.reset();
        m_server.reset();
    }

    void theDefaultKeysOpenWhateverLocksAreOn()
    {
        auto shortcut = startShortcut();
        QVERIFY2(shortcut->problem().isEmpty(), qPrintable(shortcut->problem()));
        QCOMPARE(shortcut->keys(),
                 QKeySequence(QStringLiteral("Meta+Shift+V")).toString(QKeySequence::NativeText));
        QVERIFY(!shortcut->isConfigurable() && shortcut->isRecordable());

        QSignalSpy activated(shortcut.get(), &GlobalShortcut::activated);
        QVERIFY(press(QStringLiteral("super+shift+v")));
        QTRY_COMPARE(activated.size(), 1);
        // The press's time comes as a startup notification id, for the window manager.
        QVERIFY(activated.at(0).at(0).toString().contains(QRegularExpression("_TIME[1-9][0-9]*$")));
        // Caps Lock and Num Lock on: still the shortcut.
        QVERIFY(press(QStringLiteral("Caps_Lock")) && press(QStringLiteral("Num_Lock")));
        QVERIFY(press(QStringLiteral("super+shift+v")));
        QTRY_COMPARE(activated.size(), 2);
        QVERIFY(press(QStringLiteral("Caps_Lock")) && press(QStringLiteral("Num_Lock")));
        // Other keys are not it.
        QCOMPARE(firings(*shortcut,
                         {QStringLiteral("super+v"), QStringLiteral("shift+v"),
                          QStringLiteral("ctrl+super+shift+v")},
                         QStringLiteral("super+shift+v")),
                 0);
    }

    void keysTakenByAnotherProgramSayWhyAndAreFreedOnExit()
    {
        auto other = X11KeyGrab::open();
        QVERIFY(other);
        QVERIFY(!other->grab(XKB_KEY_v, Qt::MetaModifier | Qt::ShiftModifier));
        {
            auto shortcut = startShortcut();
            QVERIFY2(shortcut->problem().contains(QStringLiteral("another program")),
                     qPrintable(shortcut->problem()));
            QSignalSpy pressed(other.get(), &X11KeyGrab::pressed);
            QVERIFY(press(QStringLiteral("super+shift+v")));
            QTRY_COMPARE(pressed.size(), 1); // the other program still has it
        }
        other->release();
        auto shortcut = startShortcut();
        QVERIFY(shortcut->problem().isEmpty());
        // Ours go when it does: the other program can have them now.
        shortcut.reset();
        QVERIFY(!other->grab(XKB_KEY_v, Qt::MetaModifier | Qt::ShiftModifier));
    }

    void recordedKeysReplaceTheOldOnesAndAreKept()
    {
        auto shortcut = startShortcut();
        // While recording, the keys are let go: pressing them is not a press of the shortcut.
        shortcut->startRecording();
        QSignalSpy activated(shortcut.get(), &GlobalShortcut::activated);
        QVERIFY(press(QStringLiteral("super+shift+v")));
        // A modifier alone, or a key that would take over typing, is not a shortcut.
        QVERIFY(!shortcut->record(Qt::Key_Control, Qt::ControlModifier));
        QVERIFY(!shortcut->record(Qt::Key_H, Qt::NoModifier));
        QVERIFY(!shortcut->record(Qt::Key_H, Qt::ShiftModifier));
        QVERIFY(shortcut->record(Qt::Key_H, Qt::ControlModifier | Qt::AltModifier));
        QVERIFY(shortcut->problem().isEmpty() && !shortcut->isRecording());
        QCOMPARE(
            firings(*shortcut, {QStringLiteral("super+shift+v")}, QStringLiteral("ctrl+alt+h")), 0);
        shortcut.reset();

        shortcut = startShortcut();
        QCOMPARE(shortcut->keys(),
                 QKeySequence(QStringLiteral("Ctrl+Alt+H")).toString(QKeySequence::NativeText));
        QCOMPARE(firings(*shortcut, {}, QStringLiteral("ctrl+alt+h")), 0);
        // A function key needs no modifier. A cancelled recording keeps the keys.
        shortcut->startRecording();
        shortcut->cancelRecording();
        QCOMPARE(firings(*shortcut, {}, QStringLiteral("ctrl+alt+h")), 0);
        shortcut->startRecording();
        QVERIFY(shortcut->record(Qt::Key_F9, Qt::NoModifier));
        QCOMPARE(firings(*shortcut, {QStringLiteral("ctrl+alt+h")}, QStringLiteral("F9")), 0);
        shortcut->startRecording();
        QVERIFY(shortcut->record(Qt::Key_V, Qt::MetaModifier | Qt::ShiftModifier));
    }

    void recordingTakenKeysKeepsTheFormerOnes()
    {
        auto other = X11KeyGrab::open();
        QVERIFY(!other->grab(XKB_KEY_j, Qt::ControlModifier | Qt::AltModifier));
        auto shortcut = startShortcut();
        shortcut->startRecording();
        QVERIFY(shortcut->record(Qt::Key_J, Qt::ControlModifier | Qt::AltModifier));
        QVERIFY2(shortcut->problem().contains(QStringLiteral("another program")),
                 qPrintable(shortcut->problem()));
        QCOMPARE(shortcut->keys(),
                 QKeySequence(QStringLiteral("Meta+Shift+V")).toString(QKeySequence::NativeText));
        QCOMPARE(firings(*shortcut, {}, QStringLiteral("super+shift+v")), 0);
    }
};

QTEST_GUILESS_MAIN(X11KeyGrabTest)
#include "tst_x11keygrab.moc"
