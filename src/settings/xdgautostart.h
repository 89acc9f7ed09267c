#pragma once

#include "loginitem.h"

#include <QStringList>

namespace tessary {

// Start at login through the XDG Autostart specification: an entry named after the application
// id in $XDG_CONFIG_HOME/autostart, which shadows entries of the same name in
// $XDG_CONFIG_DIRS/autostart. The environment is read on every call.
//
// An entry counts as ours when it carries our marker key (X-Tessary-Autostart), when its
// X-Flatpak key names our application id, or when its Exec program has the same file name as our
// executable (a copy of our desktop file, as some tweak tools make). Any other file of our name is
// someone else's and is never changed. Ours but naming a program that is no longer there counts
// as broken, not enabled: switching on again writes the current path.
class XdgAutostart : public LoginItem {
public:
    // executable: the absolute path to start; by default the running binary (or the AppImage
    // file it was mounted from).
    explicit XdgAutostart(QString executable = {});

    LoginItemStatus status() override;
    // Files are written at once: `finished` comes before this returns.
    void request(bool enabled) override { emit finished(enabled ? enable() : disable()); }
    LoginItemResult enable();
    LoginItemResult disable();

    QString userEntryPath() const;
    QStringList systemEntryPaths() const;
    // The entry enable() writes; a hidden one switches off a system-wide entry of our name.
    QByteArray entryContents(bool hidden) const;

    static constexpr char kMarkerKey[] = "X-Tessary-Autostart";

private:
    enum class EntryState { Missing, Unreadable, NotOurs, Active, Inactive, Broken };
    EntryState entryState(const QString &path) const;
    EntryState systemState() const;
    QString executable() const;
    LoginItemResult writeEntry(bool hidden) const;

    QString m_executable;
};

} // namespace tessary
