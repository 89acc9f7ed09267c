#pragma once

#include "barvisibility.h"
#include "core/historymodel.h"

#include <QObject>
#include <QPointer>
#include <QVariantList>

namespace tessary {

// The main screen's own state and rules: which entry the pointer or the keyboard marks (one
// record for both), and whether list content is hidden under the header or the footer band.
// Each main screen creates its own, so a screen shown again starts afresh.
class MainScreenState : public QObject {
    Q_OBJECT
    Q_PROPERTY(tessary::HistoryModel *history READ history WRITE setHistory NOTIFY historyChanged)
    Q_PROPERTY(QString hoveredId READ hoveredId NOTIFY hoveredIdChanged)
    Q_PROPERTY(bool hasContentAbove READ hasContentAbove NOTIFY barVisibilityChanged)
    Q_PROPERTY(bool hasContentBelow READ hasContentBelow NOTIFY barVisibilityChanged)
public:
    using QObject::QObject;

    HistoryModel *history() const { return m_history; }
    void setHistory(HistoryModel *history);
    QString hoveredId() const { return m_hoveredId; }
    bool hasContentAbove() const { return m_bars.above; }
    bool hasContentBelow() const { return m_bars.below; }

    // A card reports the pointer entering (true) or leaving (false). Leaving clears the record
    // only while it still names that card's entry, as the pointer may already be on the next.
    Q_INVOKABLE void setPointerOver(const QString &entryId, bool hovering);
    // The row of the marked entry, or -1 when nothing is marked or the entry has left the
    // history (the record itself is kept: it is only replaced by the next hover or key).
    Q_INVOKABLE int hoveredRow() const;
    // Moves the mark by `step` rows, clamped to the list; from no mark it starts at the top.
    // Returns the newly marked row, or -1 for an empty list.
    Q_INVOKABLE int moveHighlight(int step);
    // The list's vertical scroll geometry changed.
    Q_INVOKABLE void updateScrollGeometry(double y, double visibleHeight, double contentHeight);

    // The bands' alpha stops for a softness between the steep (0) and the soft (1) fade, as
    // points (location, alpha).
    Q_INVOKABLE QVariantList headerFadeStops(double softness) const;
    Q_INVOKABLE QVariantList footerFadeStops(double softness) const;

signals:
    void historyChanged();
    void hoveredIdChanged();
    void barVisibilityChanged();

private:
    void setHoveredId(const QString &id);

    QPointer<HistoryModel> m_history;
    QString m_hoveredId;
    BarVisibility m_bars;
};

} // namespace tessary
