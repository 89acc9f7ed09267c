#pragma once

class QQmlEngine;

namespace tessary {

class HistoryModel;

// Makes the panel's native types available to QML under "Tessary.Native" 1.0
// (MainScreenState).
void registerAppQmlTypes();

// Everything the panel's views need on an engine: the native types of the panel, the cards,
// the previews and the settings, and their image providers. The history must outlive the engine.
void registerPanelQmlTypes(QQmlEngine &engine, HistoryModel &history);

} // namespace tessary
