#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace tessary {

// Whatever shows one file URL at a time to the user.
class FilePreviewer {
public:
    // What becomes of the file shown last: it is shown no longer (the previewer closed), or it
    // went to another application, which may go on reading it for as long as it likes.
    enum class Event { Closed, HandedOver };
    using Listener = std::function<void(Event)>;

    virtual ~FilePreviewer() = default;
    // Shows this file instead of anything shown before, and comes to the front. `title` says
    // what the file holds, as the user knows it (a staged file's own name means nothing).
    virtual void show(const QUrl &url, const QString &title) = 0;

    void setListener(Listener listener) { m_listener = std::move(listener); }

protected:
    void tell(Event event)
    {
        if (m_listener)
            m_listener(event);
    }

private:
    Listener m_listener;
};

} // namespace tessary
