#include "mainscreenstate.h"

#include <algorithm>

namespace tessary {

void MainScreenState::setEntries(HistoryFilter *entries)
{
    if (m_entries == entries)
        return;
    if (m_entries)
        m_entries->disconnect(this);
    m_entries = entries;
    if (entries) {
        connect(entries, &HistoryFilter::queryChanged, this, [this] {
            if (!m_entries->query().isEmpty())
                markFirst();
        });
        connect(entries, &HistoryFilter::countChanged, this, &MainScreenState::keepAMatchMarked);
    }
    emit entriesChanged();
}

void MainScreenState::keepAMatchMarked()
{
    if (!m_entries->query().isEmpty() && hoveredRow() < 0)
        markFirst();
}

void MainScreenState::setPointerOver(const QString &entryId, bool hovering)
{
    if (hovering)
        setHoveredId(entryId);
    else if (m_hoveredId == entryId)
        setHoveredId({});
}

int MainScreenState::hoveredRow() const
{
    if (!m_entries || m_hoveredId.isEmpty())
        return -1;
    return m_entries->rowOf(m_hoveredId);
}

int MainScreenState::moveHighlight(int step)
{
    if (!m_entries || m_entries->count() == 0)
        return -1;
    const int current = hoveredRow();
    const int row = current < 0 ? 0 : std::clamp(current + step, 0, m_entries->count() - 1);
    setHoveredId(m_entries->entryIdAt(row));
    return row;
}

void MainScreenState::markFirst()
{
    setHoveredId(m_entries ? m_entries->entryIdAt(0) : QString());
}

void MainScreenState::updateScrollGeometry(double y, double visibleHeight, double contentHeight)
{
    const BarVisibility bars = BarVisibility::fromGeometry(y, visibleHeight, contentHeight);
    if (bars == m_bars)
        return;
    m_bars = bars;
    emit barVisibilityChanged();
}

void MainScreenState::setHeaderSoftness(double softness)
{
    if (qFuzzyCompare(m_headerSoftness, softness))
        return;
    m_headerSoftness = softness;
    emit headerSoftnessChanged();
}

void MainScreenState::setFooterSoftness(double softness)
{
    if (qFuzzyCompare(m_footerSoftness, softness))
        return;
    m_footerSoftness = softness;
    emit footerSoftnessChanged();
}

QList<QPointF> MainScreenState::headerStops() const
{
    return edgefade::blend(edgefade::headerStops(false), edgefade::headerStops(true),
                           m_headerSoftness);
}

QList<QPointF> MainScreenState::footerStops() const
{
    return edgefade::blend(edgefade::footerStops(false), edgefade::footerStops(true),
                           m_footerSoftness);
}

void MainScreenState::setHoveredId(const QString &id)
{
    if (m_hoveredId == id)
        return;
    m_hoveredId = id;
    emit hoveredIdChanged();
}

} // namespace tessary
