#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickItem>

namespace tessary {

// Keeps the delegates of a list view in the order a reader meets them, top to bottom. The
// accessible tree lists an item's children in the order they were made, and a list view makes
// the card of an entry copied while it is open, or scrolled back into view, after all the
// others: a screen reader would read the newest entry last.
class ReadingOrder : public QObject {
    Q_OBJECT
    Q_PROPERTY(QQuickItem *view READ view WRITE setView NOTIFY viewChanged FINAL)
public:
    using QObject::QObject;

    QQuickItem *view() const { return m_view; }
    void setView(QQuickItem *view);

signals:
    void viewChanged();

private:
    void watch(QQuickItem *child);
    void scheduleSort();
    void sort();

    QPointer<QQuickItem> m_view;
    QPointer<QQuickItem> m_content;
    bool m_sortPending = false;
};

} // namespace tessary
