#pragma once

#include <QByteArrayView>
#include <QSize>

namespace tessary {

// The pixel size of the picture the bytes hold once it is upright (an orientation the file
// records as turned sideways swaps the sides), read from its header alone: PNG, TIFF, BigTIFF and
// JPEG. Invalid for anything else, or for a header that names no size.
//
// Decoders learn the same from their own header reading, but libtiff, for one, also loads every
// strip's offset on the way: a TIFF of millions of strips costs hundreds of megabytes and most of
// a second to size that way. This reads a few dozen bytes at known places, and never more than
// the one directory of entries it walks.
QSize uprightImageSize(QByteArrayView bytes);

} // namespace tessary
