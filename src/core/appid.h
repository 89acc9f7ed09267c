#pragma once

namespace tessary {

// The reverse-DNS application id. The D-Bus name, the desktop file, the metainfo, the icon and
// the autostart file are all named after it.
inline constexpr char kApplicationId[] = "org.tessary.Tessary";
inline constexpr char kApplicationName[] = "Tessary";

} // namespace tessary
