#pragma once

#include <QObject>

namespace tessary {

// The window around the panel's views, as they see it: where they send the requests that reach
// beyond them.
class PanelHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Escape, or the pointer gone elsewhere: the panel goes away.
    Q_INVOKABLE void requestClose() { emit closeRequested(); }
    // The Quit row: the application ends.
    Q_INVOKABLE void requestQuit() { emit quitRequested(); }

signals:
    void closeRequested();
    void quitRequested();
    // A key opened the panel: the newest entry is marked, so that Enter copies it.
    void openedByKey();
};

} // namespace tessary
