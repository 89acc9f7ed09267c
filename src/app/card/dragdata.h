#pragma once

#include "core/entry.h"

#include <memory>

class QMimeData;

namespace tessary {

// What dragging an entry out offers, built afresh for each drag:
// - a text as text/plain;
// - an image as its own bytes under image/png or image/tiff (told from the signature) and as a
//   decoded image for receivers that take any format;
// - files as a text/uri-list of the first URL only.
// An image that does not decode, or an empty file list, gives mime data with no formats.
std::unique_ptr<QMimeData> dragMimeData(const Payload &payload);

} // namespace tessary
