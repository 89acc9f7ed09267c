#pragma once

class QQmlEngine;

namespace tessary {

class HistoryModel;

// Makes the card's helpers available to QML under "Tessary.Native" 1.0 (the CardSupport
// singleton) and installs the "entry" image provider on this engine, which decodes an image
// entry's bytes off the GUI thread: `source: "image://entry/" + entryId`, with `sourceSize` set
// to the size the image is drawn at. The history must outlive the engine.
void registerCardQmlTypes(QQmlEngine &engine, HistoryModel &history);

} // namespace tessary
