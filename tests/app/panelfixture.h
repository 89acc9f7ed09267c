#pragma once

#include "app/card/cardsupport.h"
#include "app/card/relativetime.h"
#include "app/panelhost.h"
#include "app/panelwindow.h"
#include "core/monitor.h"
#include "platform/memory/memorypasteboard.h"
#include "platform/shortcuts/globalshortcut.h"
#include "preview/filethumbnails.h"
#include "preview/previewcontroller.h"
#include "preview/previewer.h"
#include "preview/stager.h"
#include "preview/thumbnailer.h"
#include "settings/launchatlogin.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

namespace tessary::test {

// Everything the panel is handed, as the application makes it but over an in-memory clipboard,
// without sound, with no thumbnails, a previewer that only records what it is shown and a
// global shortcut never registered. Tests
// fill the history directly. In QML it is `fixture`.
class PanelFixture : public QObject, public SoundPlayer, public FilePreviewer, public Thumbnailer {
    Q_OBJECT
    Q_PROPERTY(tessary::ClipboardMonitor *monitor READ monitorPointer CONSTANT FINAL)
    Q_PROPERTY(tessary::PreviewController *previewer READ previewer CONSTANT FINAL)
    Q_PROPERTY(tessary::CardSupport *cards READ cards CONSTANT FINAL)
    Q_PROPERTY(tessary::FileThumbnails *thumbnails READ thumbnails CONSTANT FINAL)
    Q_PROPERTY(tessary::PanelHost *host READ host CONSTANT FINAL)
    Q_PROPERTY(tessary::GlobalShortcut *shortcut READ shortcut CONSTANT FINAL)
    Q_PROPERTY(tessary::LaunchAtLogin *launchAtLogin READ launchAtLogin CONSTANT FINAL)
public:
    // The settings switch works on `loginItem`, by default a flag in memory; times are told in
    // `locale`.
    explicit PanelFixture(std::unique_ptr<LoginItem> loginItem = {},
                          const QLocale &locale = QLocale(QLocale::English))
        : m_formatter(locale),
          m_launchAtLogin(loginItem ? std::move(loginItem) : std::make_unique<MemoryLoginItem>(),
                          [this](const QString &line) { m_loginLog.append(line); })
    {}

    // `previewer`: one of the test's own instead of the fixture's, which only records.
    PanelServices services(PreviewController *previewer = nullptr)
    {
        return {m_monitor,   previewer ? *previewer : m_previewer,
                m_formatter, m_thumbnails,
                m_shortcut,  m_launchAtLogin};
    }
    LaunchAtLogin *launchAtLogin() { return &m_launchAtLogin; }
    const QStringList &loginLog() const { return m_loginLog; }

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
    // The text on the clipboard, once something was copied back.
    Q_INVOKABLE QString clipboardText() const { return m_pasteboard.content().text.value_or(""); }
    Q_INVOKABLE int writes() const
    {
        return m_pasteboard.calls().filter(QStringLiteral("write")).size();
    }
    // The contents of the files the previewer was shown, in order, as they were when shown.
    Q_INVOKABLE QStringList previewed() const { return m_shown; }
    Q_INVOKABLE void forgetPreviews() { m_shown.clear(); }
    // What the desktop lets the backend see: "direct", "x11 compatibility" or "none".
    Q_INVOKABLE void setAccess(const QString &access)
    {
        m_monitor.setAccess(access == u"none" ? ClipboardAccess::None
                            : access == u"x11 compatibility"
                                ? ClipboardAccess::ThroughX11Compatibility
                                : ClipboardAccess::Direct);
    }

    ClipboardMonitor &monitor() { return m_monitor; }
    HistoryModel &history() { return *m_monitor.history(); }
    ClipboardMonitor *monitorPointer() { return &m_monitor; }
    PreviewController *previewer() { return &m_previewer; }
    CardSupport *cards() { return &m_cards; }
    FileThumbnails *thumbnails() { return &m_thumbnails; }
    PanelHost *host() { return &m_host; }
    GlobalShortcut *shortcut() { return &m_shortcut; }

    void playCopyConfirmation() override {}
    void playErrorBeep() override {}
    void show(const QUrl &url, const QString &) override
    {
        QFile file(url.toLocalFile());
        m_shown.append(file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll())
                                                      : QString());
    }
    QFuture<QImage> thumbnail(const QUrl &, QSize) override
    {
        return QtFuture::makeReadyFuture(QImage());
    }

private:
    // Start at login as a flag in memory.
    struct MemoryLoginItem : LoginItem {
        bool enabled = false;
        LoginItemStatus status() override
        {
            return enabled ? LoginItemStatus::Enabled : LoginItemStatus::NotRegistered;
        }
        void request(bool wanted) override
        {
            enabled = wanted;
            emit finished(LoginItemResult::success());
        }
    };

    QTemporaryDir m_stagingDir;
    QStringList m_shown;
    MemoryPasteboard m_pasteboard;
    ClipboardMonitor m_monitor{m_pasteboard, *this};
    RelativeTimeFormatter m_formatter;
    FileThumbnails m_thumbnails{*this};
    PreviewStager m_stager{[this] { return std::optional<QString>(m_stagingDir.path()); }};
    PreviewController m_previewer{history(), *this, m_stager, *this};
    CardSupport m_cards{history(), m_formatter};
    PanelHost m_host;
    // Never started: no shortcut is registered by the tests that use the fixture.
    GlobalShortcut m_shortcut{{QDBusConnection(QString()), false, {}, {}}};
    QStringList m_loginLog;
    LaunchAtLogin m_launchAtLogin;
};

} // namespace tessary::test
