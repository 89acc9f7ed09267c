#pragma once

#include <QtGlobal>

namespace tessary::testing {

// The memory only this process uses (private pages, clean and dirty), in kilobytes; -1 when
// /proc cannot tell. What a leak makes grow.
qint64 privateKilobytes();

} // namespace tessary::testing
