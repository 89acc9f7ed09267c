#include "readingorder.h"

#include <QAccessible>
#include <QTimer>
#include <algorithm>

namespace tessary {

void ReadingOrder::setView(QQuickItem *view)
{
    if (m_view == view)
        return;
    if (m_content)
        disconnect(m_content, nullptr, this, nullptr);
    m_view = view;
    m_content = view ? view->property("contentItem").value<QQuickItem *>() : nullptr;
    if (m_content) {
        // A new child, or one moved by an insertion above it, may stand out of order; the view
        // places a new delegate only after making it, so the order is looked at afterwards.
        connect(m_content, &QQuickItem::childrenChanged, this, [this] {
            for (QQuickItem *child : m_content->childItems())
                watch(child);
            scheduleSort();
        });
        for (QQuickItem *child : m_content->childItems())
            watch(child);
        scheduleSort();
    }
    emit viewChanged();
}

void ReadingOrder::watch(QQuickItem *child)
{
    connect(child, &QQuickItem::yChanged, this, &ReadingOrder::scheduleSort, Qt::UniqueConnection);
}

void ReadingOrder::scheduleSort()
{
    if (m_sortPending)
        return;
    m_sortPending = true;
    QTimer::singleShot(0, this, &ReadingOrder::sort);
}

void ReadingOrder::sort()
{
    m_sortPending = false;
    if (!m_content)
        return;
    const QList<QQuickItem *> children = m_content->childItems();
    QList<QQuickItem *> sorted = children;
    std::ranges::stable_sort(sorted, {}, &QQuickItem::y);
    if (sorted == children)
        return;
    for (qsizetype i = 1; i < sorted.size(); ++i)
        sorted[i]->stackAfter(sorted[i - 1]);
    QAccessibleEvent reordered(m_view.data(), QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&reordered);
}

} // namespace tessary
