#include "globalshortcut.h"

#include "platform/x11/x11keygrab.h"
#include "portalshortcut.h"
#include "shortcutkeys.h"

#include <QLoggingCategory>
#include <QSettings>

Q_LOGGING_CATEGORY(lcShortcut, "tessary.shortcut", QtInfoMsg)

namespace tessary {
namespace {

const QString kShortcutId = QStringLiteral("open-panel");
const QString kKeysSetting = QStringLiteral("globalShortcut");

std::unique_ptr<QSettings> openSettings(const QString &file)
{
    if (file.isEmpty())
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                           QStringLiteral("tessary"), QStringLiteral("tessary"));
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

} // namespace

GlobalShortcut::GlobalShortcut(Options options, QObject *parent)
    : QObject(parent), m_options(std::move(options))
{}

GlobalShortcut::~GlobalShortcut() = default;

GlobalShortcut::Method GlobalShortcut::choose(bool portalOffersShortcuts, bool x11Session)
{
    if (portalOffersShortcuts)
        return Method::Portal;
    return x11Session ? Method::KeyGrab : Method::Compositor;
}

void GlobalShortcut::start()
{
    if (m_portal)
        return;
    const std::optional<KeyChord> chord = keyChord(defaultShortcut());
    m_portal = std::make_unique<PortalShortcut>(
        m_options.bus, kShortcutId, tr("Open the clipboard history"), portalTrigger(*chord));
    connect(m_portal.get(), &PortalShortcut::activated, this, &GlobalShortcut::activated);
    connect(m_portal.get(), &PortalShortcut::stateChanged, this, [this] {
        switch (m_portal->state()) {
        case PortalShortcut::State::Unavailable:
            settle(choose(false, m_options.x11Session));
            break;
        case PortalShortcut::State::Binding:
        case PortalShortcut::State::Bound:
        case PortalShortcut::State::Refused:
            settle(Method::Portal);
            break;
        default:
            break;
        }
        emit changed();
    });
    m_portal->start();
}

void GlobalShortcut::settle(Method method)
{
    if (m_method == method)
        return;
    m_method = method;
    if (method == Method::KeyGrab) {
        m_grab = X11KeyGrab::open(m_options.display);
        if (m_grab)
            // The press's time, in the form of a startup notification id, lets the panel have
            // the focus under a window manager that prevents focus stealing.
            connect(m_grab.get(), &X11KeyGrab::pressed, this, [this](quint32 time) {
                emit activated(QStringLiteral("tessary_TIME%1").arg(time));
            });
        m_keys = storedKeys();
        grabKeys();
    } else if (method == Method::Compositor) {
        qCInfo(lcShortcut) << "no global shortcut on this desktop: bind a key to run `tessary` "
                              "in the compositor's settings";
    }
    emit changed();
}

QKeySequence GlobalShortcut::storedKeys() const
{
    const QKeySequence stored = QKeySequence::fromString(
        openSettings(m_options.settingsFile)->value(kKeysSetting).toString(),
        QKeySequence::PortableText);
    return keyChord(stored) ? stored : defaultShortcut();
}

void GlobalShortcut::grabKeys()
{
    m_grabProblem.clear();
    const std::optional<KeyChord> chord = keyChord(m_keys);
    std::optional<QString> problem;
    if (!m_grab)
        problem = tr("the X display cannot be opened");
    else if (chord)
        problem = m_grab->grab(chord->keysym, chord->modifiers);
    if (problem) {
        m_grabProblem =
            tr("%1 cannot be used: %2").arg(m_keys.toString(QKeySequence::NativeText), *problem);
        qCWarning(lcShortcut).noquote() << "global shortcut:" << m_grabProblem;
    }
}

void GlobalShortcut::startRecording()
{
    if (m_method != Method::KeyGrab || m_recording)
        return;
    m_recording = true;
    if (m_grab)
        m_grab->release();
    emit changed();
}

void GlobalShortcut::cancelRecording()
{
    if (!m_recording)
        return;
    m_recording = false;
    grabKeys();
    emit changed();
}

bool GlobalShortcut::record(int key, int modifiers)
{
    if (!m_recording)
        return true;
    const std::optional<QKeySequence> keys =
        recordedShortcut(key, Qt::KeyboardModifiers::fromInt(modifiers));
    if (!keys)
        return false;
    m_recording = false;
    const QKeySequence former = m_keys;
    m_keys = *keys;
    grabKeys();
    if (m_grabProblem.isEmpty()) {
        openSettings(m_options.settingsFile)
            ->setValue(kKeysSetting, m_keys.toString(QKeySequence::PortableText));
    } else {
        // The keys that worked stay; the problem still names the ones asked for.
        const QString problem = m_grabProblem;
        m_keys = former;
        grabKeys();
        if (m_grabProblem.isEmpty())
            m_grabProblem = problem;
    }
    emit changed();
    return true;
}

void GlobalShortcut::configure()
{
    if (m_portal)
        m_portal->configure();
}

QString GlobalShortcut::keys() const
{
    switch (m_method) {
    case Method::Portal:
        if (m_portal->state() != PortalShortcut::State::Bound)
            return {};
        return m_portal->triggerDescription().isEmpty() ? tr("set in the desktop's settings")
                                                        : m_portal->triggerDescription();
    case Method::KeyGrab:
        return m_keys.toString(QKeySequence::NativeText);
    default:
        return {};
    }
}

QString GlobalShortcut::problem() const
{
    switch (m_method) {
    case Method::Portal:
        return m_portal->problem();
    case Method::KeyGrab:
        return m_grabProblem;
    default:
        return {};
    }
}

bool GlobalShortcut::isConfigurable() const
{
    return m_method == Method::Portal && m_portal->canConfigure();
}

} // namespace tessary
