#pragma once

// The C++ types the views use, as the Tessary module declares them. They live in libraries that
// know nothing of QML; each is named here once, with whether a view may create it. The others
// are handed to the views by the C++ that shows them.

#include "app/card/cardsupport.h"
#include "app/historyfilter.h"
#include "app/mainscreenstate.h"
#include "app/panelhost.h"
#include "app/readingorder.h"
#include "core/historymodel.h"
#include "core/monitor.h"
#include "platform/shortcuts/globalshortcut.h"
#include "preview/filethumbnails.h"
#include "preview/filethumbnailsource.h"
#include "preview/previewcontent.h"
#include "preview/previewcontroller.h"
#include "settings/launchatlogin.h"

#include <QtQml/qqmlregistration.h>

namespace tessary::qml {

struct ClipboardMonitorType {
    Q_GADGET
    QML_FOREIGN(tessary::ClipboardMonitor)
    QML_NAMED_ELEMENT(ClipboardMonitor)
    QML_UNCREATABLE("The application watches the clipboard.")
};

struct HistoryModelType {
    Q_GADGET
    QML_FOREIGN(tessary::HistoryModel)
    QML_NAMED_ELEMENT(HistoryModel)
    QML_UNCREATABLE("The history belongs to the monitor.")
};

struct PanelHostType {
    Q_GADGET
    QML_FOREIGN(tessary::PanelHost)
    QML_NAMED_ELEMENT(PanelHost)
    QML_UNCREATABLE("The panel's window hands it over.")
};

struct HistoryFilterType {
    Q_GADGET
    QML_FOREIGN(tessary::HistoryFilter)
    QML_NAMED_ELEMENT(HistoryFilter)
};

struct MainScreenStateType {
    Q_GADGET
    QML_FOREIGN(tessary::MainScreenState)
    QML_NAMED_ELEMENT(MainScreenState)
};

struct ReadingOrderType {
    Q_GADGET
    QML_FOREIGN(tessary::ReadingOrder)
    QML_NAMED_ELEMENT(ReadingOrder)
};

struct CardSupportType {
    Q_GADGET
    QML_FOREIGN(tessary::CardSupport)
    QML_NAMED_ELEMENT(CardSupport)
    QML_UNCREATABLE("The panel makes one each time it opens.")
};

struct PreviewControllerType {
    Q_GADGET
    QML_FOREIGN(tessary::PreviewController)
    QML_NAMED_ELEMENT(PreviewController)
    QML_UNCREATABLE("The application previews entries.")
};

struct PreviewContentType {
    Q_GADGET
    QML_FOREIGN(tessary::PreviewContent)
    QML_NAMED_ELEMENT(PreviewContent)
    QML_UNCREATABLE("The previewer window owns what it shows.")
};

struct FileThumbnailsType {
    Q_GADGET
    QML_FOREIGN(tessary::FileThumbnails)
    QML_NAMED_ELEMENT(FileThumbnails)
    QML_UNCREATABLE("The application keeps the thumbnails.")
};

struct FileThumbnailSourceType {
    Q_GADGET
    QML_FOREIGN(tessary::FileThumbnailSource)
    QML_NAMED_ELEMENT(FileThumbnailSource)
};

struct GlobalShortcutType {
    Q_GADGET
    QML_FOREIGN(tessary::GlobalShortcut)
    QML_NAMED_ELEMENT(GlobalShortcut)
    QML_UNCREATABLE("The application registers the one global shortcut.")
};

struct LaunchAtLoginType {
    Q_GADGET
    QML_FOREIGN(tessary::LaunchAtLogin)
    QML_NAMED_ELEMENT(LaunchAtLogin)
    QML_UNCREATABLE("The application keeps the login item.")
};

} // namespace tessary::qml
