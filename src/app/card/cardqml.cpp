#include "cardqml.h"

#include "cardsupport.h"
#include "core/historymodel.h"
#include "entryimageprovider.h"
#include "iconprovider.h"

#include <QQmlEngine>

namespace tessary {

namespace {
constexpr char kHistoryProperty[] = "_tessary_card_history";
}

void registerCardQmlTypes(QQmlEngine &engine, HistoryModel &history)
{
    // Registration is process-wide, the history is the engine's: each engine's singleton finds
    // its history on the engine.
    engine.setProperty(kHistoryProperty, QVariant::fromValue<QObject *>(&history));
    static const bool registered = [] {
        qmlRegisterSingletonType<CardSupport>(
            "Tessary.Native", 1, 0, "CardSupport", [](QQmlEngine *qml, QJSEngine *) -> QObject * {
                auto *model = qobject_cast<HistoryModel *>(
                    qml->property(kHistoryProperty).value<QObject *>());
                Q_ASSERT(model);
                return new CardSupport(*model);
            });
        return true;
    }();
    Q_UNUSED(registered);

    auto index = std::make_shared<EntryImageIndex>();
    new EntryImageIndexer(history, index);
    engine.addImageProvider(QStringLiteral("entry"), new EntryImageProvider(index));
    engine.addImageProvider(QStringLiteral("cardicon"), new CardIconProvider);
}

} // namespace tessary
