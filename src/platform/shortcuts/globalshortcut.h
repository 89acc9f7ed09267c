#pragma once

#include <QByteArray>
#include <QDBusConnection>
#include <QKeySequence>
#include <QObject>
#include <memory>

namespace tessary {

class PortalShortcut;
class X11KeyGrab;

// The one key that opens the panel from anywhere, registered the way the session allows,
// chosen at run time: through the desktop portal where it offers global shortcuts; else, on
// an X11 session, by a key grab of our own (its keys kept in our settings file); else not at
// all: the user binds `tessary` in the compositor, which opens the panel by running it again.
// A shortcut that cannot be registered says why and changes nothing else.
class GlobalShortcut : public QObject {
    Q_OBJECT
    Q_PROPERTY(Method method READ method NOTIFY changed FINAL)
    // The keys, as the user reads them; empty while unknown.
    Q_PROPERTY(QString keys READ keys NOTIFY changed FINAL)
    // Why the shortcut does not work; empty when it does.
    Q_PROPERTY(QString problem READ problem NOTIFY changed FINAL)
    // With a key grab new keys are recorded; the portal may have a dialog (configure()).
    Q_PROPERTY(bool recordable READ isRecordable NOTIFY changed FINAL)
    Q_PROPERTY(bool recording READ isRecording NOTIFY changed FINAL)
    Q_PROPERTY(bool configurable READ isConfigurable NOTIFY changed FINAL)
public:
    enum class Method {
        Undecided,  // the portal is being asked
        Portal,     // the GlobalShortcuts portal
        KeyGrab,    // an X11 key grab
        Compositor, // none: the compositor's own key bindings run `tessary`
    };
    Q_ENUM(Method)

    struct Options {
        QDBusConnection bus;
        bool x11Session = false;
        QByteArray display;   // for the key grab; empty: $DISPLAY
        QString settingsFile; // where recorded keys are kept; empty: the user's settings
    };

    explicit GlobalShortcut(Options options, QObject *parent = nullptr);
    ~GlobalShortcut() override;

    // Asks the portal, then registers the shortcut by the first method that is offered.
    void start();

    Method method() const { return m_method; }
    QString keys() const;
    QString problem() const;
    bool isRecordable() const { return m_method == Method::KeyGrab; }
    bool isRecording() const { return m_recording; }
    bool isConfigurable() const;

    // Recording lets the keys go meanwhile, so that pressing them again is recorded rather
    // than opening or closing the panel.
    Q_INVOKABLE void startRecording();
    Q_INVOKABLE void cancelRecording();
    // A key pressed while recording. Returns false when it cannot be a shortcut (a modifier
    // alone, a plain letter): recording goes on. Otherwise recording ends and the keys are
    // tried; when they cannot be grabbed the former ones stay and `problem` says why.
    Q_INVOKABLE bool record(int key, int modifiers);
    // Opens the portal's dialog for changing the shortcut.
    Q_INVOKABLE void configure();

    static Method choose(bool portalOffersShortcuts, bool x11Session);

signals:
    void changed();
    // The shortcut was pressed. The token lets the panel take the focus where the desktop
    // prevents focus stealing: an XDG activation token on Wayland when the portal sends one; on
    // X11 a startup notification id carrying the time of the press ("..._TIME<time>").
    void activated(const QString &activationToken);

private:
    void settle(Method method);
    void grabKeys();
    QKeySequence storedKeys() const;

    Options m_options;
    Method m_method = Method::Undecided;
    std::unique_ptr<PortalShortcut> m_portal;
    std::unique_ptr<X11KeyGrab> m_grab;
    QKeySequence m_keys;
    QString m_grabProblem;
    bool m_recording = false;
};

} // namespace tessary
