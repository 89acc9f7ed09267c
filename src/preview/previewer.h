#pragma once

#include <QUrl>

namespace tessary {

// Whatever shows one file URL at a time to the user.
class FilePreviewer {
public:
    virtual ~FilePreviewer() = default;
    // Shows this file instead of anything shown before, and comes to the front.
    virtual void show(const QUrl &url) = 0;
};

} // namespace tessary
