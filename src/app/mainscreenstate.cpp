#include "mainscreenstate.h"

#include "core/historymodel.h"

#include <algorithm>

namespace tessary {

void MainScreenState::setHistory(HistoryModel *history)
{
    if (m_history == history)
        return;
    m_history = history;
    emit historyChanged();
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
    if (!m_history || m_hoveredId.isEmpty())
        return -1;
    return m_history->rowOf(m_hoveredId);
}

int MainScreenState::moveHighlight(int step)
{
    if (!m_history || m_history->rowCount() == 0)
        return -1;
    const int current = hoveredRow();
    const int row = current < 0 ? 0 : std::clamp(current + step, 0, m_history->rowCount() - 1);
    setHoveredId(m_history->entries().at(row).id.toString(QUuid::WithoutBraces));
    return row;
}

void MainScreenState::markFirst()
{
    if (!m_history || m_history->rowCount() == 0)
        setHoveredId({});
    else
        setHoveredId(m_history->entries().at(0).id.toString(QUuid::WithoutBraces));
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
