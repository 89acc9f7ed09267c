#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tessary {

// Where the panel goes: beside the tray icon, on the side facing the inside of the screen, and
// wholly inside the screen's available area (the desktop minus its docked panels).
// `icon` is the tray icon's geometry, or an invalid rect when the tray does not tell it; then
// the panel goes into the corner of the pointer's screen nearest the pointer, which has just
// clicked the icon.
QPoint panelPosition(const QSize &panel, const QRect &icon, const QPoint &pointer,
                     const QRect &screen, const QRect &available);

// Where the panel goes when a key opened it: its top left corner at the pointer, moved as
// little as needed to be wholly inside the available area.
QPoint panelPositionAtPointer(const QSize &panel, const QPoint &pointer, const QRect &available);

} // namespace tessary
