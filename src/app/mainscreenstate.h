#pragma once

#include "barvisibility.h"
#include "historyfilter.h"

#include <QObject>
#include <QPointer>

namespace tessary {

// The main screen's own state and rules: which entry the pointer or the keyboard marks (one
// record for both), whether list content is hidden under the header or the footer band, and the
// bands' fades. Each main screen creates its own, so a screen shown again starts afresh.
// While a query filters the list, the first match is marked when the query changes, and when
// the marked entry is no longer listed; so Enter copies the best match at once.
class MainScreenState : public QObject {
    Q_OBJECT
    // The entries as listed, filtered or not.
    Q_PROPERTY(
        tessary::HistoryFilter *entries READ entries WRITE setEntries NOTIFY entriesChanged FINAL)
    Q_PROPERTY(QString hoveredId READ hoveredId NOTIFY hoveredIdChanged FINAL)
    Q_PROPERTY(bool hasContentAbove READ hasContentAbove NOTIFY barVisibilityChanged FINAL)
    Q_PROPERTY(bool hasContentBelow READ hasContentBelow NOTIFY barVisibilityChanged FINAL)
    // How far each band's fade has gone from its short, steep form (0) to its long, soft one
    // (1); the screen animates these, and the bands draw the stops made from them.
    Q_PROPERTY(double headerSoftness READ headerSoftness WRITE setHeaderSoftness NOTIFY
                   headerSoftnessChanged FINAL)
    Q_PROPERTY(double footerSoftness READ footerSoftness WRITE setFooterSoftness NOTIFY
                   footerSoftnessChanged FINAL)
    // The bands' alpha stops, as points (location, alpha) from top to bottom.
    Q_PROPERTY(QList<QPointF> headerStops READ headerStops NOTIFY headerSoftnessChanged FINAL)
    Q_PROPERTY(QList<QPointF> footerStops READ footerStops NOTIFY footerSoftnessChanged FINAL)
public:
    using QObject::QObject;

    HistoryFilter *entries() const { return m_entries; }
    void setEntries(HistoryFilter *entries);
    QString hoveredId() const { return m_hoveredId; }
    bool hasContentAbove() const { return m_bars.above; }
    bool hasContentBelow() const { return m_bars.below; }
    double headerSoftness() const { return m_headerSoftness; }
    void setHeaderSoftness(double softness);
    double footerSoftness() const { return m_footerSoftness; }
    void setFooterSoftness(double softness);
    QList<QPointF> headerStops() const;
    QList<QPointF> footerStops() const;

    // A card reports the pointer entering (true) or leaving (false). Leaving clears the record
    // only while it still names that card's entry, as the pointer may already be on the next.
    Q_INVOKABLE void setPointerOver(const QString &entryId, bool hovering);
    // The row of the marked entry, or -1 when nothing is marked or the entry is not listed
    // (the record itself is kept: it is only replaced by the next hover or key).
    Q_INVOKABLE int hoveredRow() const;
    // Moves the mark by `step` rows, clamped to the list; from no mark it starts at the top.
    // Returns the newly marked row, or -1 for an empty list.
    Q_INVOKABLE int moveHighlight(int step);
    // Marks the first row (nothing for an empty list), so that Enter copies it.
    Q_INVOKABLE void markFirst();
    // The list's vertical scroll geometry changed.
    Q_INVOKABLE void updateScrollGeometry(double y, double visibleHeight, double contentHeight);

signals:
    void entriesChanged();
    void hoveredIdChanged();
    void barVisibilityChanged();
    void headerSoftnessChanged();
    void footerSoftnessChanged();

private:
    void setHoveredId(const QString &id);
    void keepAMatchMarked();

    QPointer<HistoryFilter> m_entries;
    QString m_hoveredId;
    BarVisibility m_bars;
    double m_headerSoftness = 0;
    double m_footerSoftness = 0;
};

} // namespace tessary
