#pragma once

class QQmlEngine;

// Registers the settings screen's C++ types under Tessary.Native 1.0 (LaunchAtLogin).
void registerSettingsQmlTypes(QQmlEngine &engine);
