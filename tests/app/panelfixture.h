#pragma once

#include "app/appqml.h"
#include "core/monitor.h"
#include "platform/memory/memorypasteboard.h"

#include <QQmlContext>
#include <QQmlEngine>

namespace tessary::test {

// A monitor over an in-memory clipboard, without sound, whose history the tests fill directly;
// `fixture` and `fixtureMonitor` in QML.
class PanelFixture : public QObject, public SoundPlayer {
    Q_OBJECT
public:
    void install(QQmlEngine &engine)
    {
        registerPanelQmlTypes(engine, history());
        engine.rootContext()->setContextProperty(QStringLiteral("fixture"), this);
        engine.rootContext()->setContextProperty(QStringLiteral("fixtureMonitor"), &m_monitor);
    }
    // Puts an entry at the front and returns its id.
    Q_INVOKABLE QString add(const QString &text) { return add(Payload::text(text)); }
    QString add(Payload payload)
    {
        history().prepend(Entry::create(std::move(payload)));
        return history().entries().at(0).id.toString(QUuid::WithoutBraces);
    }
    Q_INVOKABLE void addTexts(int count)
    {
        for (int i = 1; i <= count; ++i)
            add(QStringLiteral("Entry %1").arg(i));
    }
    Q_INVOKABLE void removeRow(int row) { history().removeAt(row); }
    Q_INVOKABLE void clear() { history().truncate(0); }
    Q_INVOKABLE int writes() const
    {
        return m_pasteboard.calls().filter(QStringLiteral("write")).size();
    }
    ClipboardMonitor &monitor() { return m_monitor; }
    HistoryModel &history() { return *m_monitor.history(); }
    void playCopyConfirmation() override {}
    void playErrorBeep() override {}

private:
    MemoryPasteboard m_pasteboard;
    ClipboardMonitor m_monitor{m_pasteboard, *this};
};

} // namespace tessary::test
