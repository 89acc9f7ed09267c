#pragma once

#include <QString>
#include <QUrl>

namespace tessary {

// Whatever shows one file URL at a time to the user.
class FilePreviewer {
public:
    virtual ~FilePreviewer() = default;
    // Shows this file instead of anything shown before, and comes to the front. `title` says
    // what the file holds, as the user knows it (a staged file's own name means nothing).
    virtual void show(const QUrl &url, const QString &title) = 0;
};

} // namespace tessary
