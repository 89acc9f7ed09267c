#include "dragdata.h"

#include "core/imageformat.h"
#include "preview/imagereading.h"

#include <QMimeData>

namespace tessary {

std::unique_ptr<QMimeData> dragMimeData(const Payload &payload)
{
    auto mime = std::make_unique<QMimeData>();
    switch (payload.kind()) {
    case Payload::Kind::Text:
        mime->setText(payload.text());
        break;
    case Payload::Kind::Image: {
        const QByteArray bytes = payload.imageBytes();
        const QImage image = images::readUpright(bytes);
        if (image.isNull())
            break;
        const ImageFormat format = sniffImageFormat(bytes);
        if (format != ImageFormat::Unknown)
            mime->setData(imageMimeType(format), bytes);
        mime->setImageData(image);
        break;
    }
    case Payload::Kind::Files: {
        const QList<QUrl> urls = payload.fileUrls();
        if (!urls.isEmpty())
            mime->setUrls({urls.first()});
        break;
    }
    }
    return mime;
}

} // namespace tessary
