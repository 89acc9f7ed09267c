#include "settingsqml.h"

#include "launchatlogin.h"

#include <QQmlEngine>

void registerSettingsQmlTypes(QQmlEngine &engine)
{
    Q_UNUSED(engine);
    qmlRegisterType<tessary::LaunchAtLogin>("Tessary.Native", 1, 0, "LaunchAtLogin");
}
