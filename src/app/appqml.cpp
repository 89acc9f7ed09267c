#include "appqml.h"

#include "app/card/cardqml.h"
#include "core/historymodel.h"
#include "core/monitor.h"
#include "mainscreenstate.h"
#include "preview/previewcontroller.h"
#include "settings/settingsqml.h"
#include "symbolprovider.h"

#include <QQmlEngine>

namespace tessary {

void registerAppQmlTypes()
{
    qmlRegisterType<MainScreenState>("Tessary.Native", 1, 0, "MainScreenState");
    qmlRegisterUncreatableType<HistoryModel>("Tessary.Native", 1, 0, "HistoryModel",
                                             QStringLiteral("owned by the monitor"));
    qmlRegisterUncreatableType<ClipboardMonitor>("Tessary.Native", 1, 0, "ClipboardMonitor",
                                                 QStringLiteral("one per process"));
}

void registerPanelQmlTypes(QQmlEngine &engine, HistoryModel &history)
{
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.addImageProvider(QStringLiteral("symbol"), new SymbolProvider);
    registerAppQmlTypes();
    registerCardQmlTypes(engine, history);
    registerPreviewQmlTypes(engine);
    registerSettingsQmlTypes(engine);
}

} // namespace tessary
