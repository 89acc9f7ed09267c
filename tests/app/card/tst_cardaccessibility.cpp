#include "cardfixture.h"

#include <QAccessible>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

using tessary::test::CardFixture;

namespace {

// Depth-first through the accessible tree, as a screen reader walks it.
QAccessibleInterface *findByName(QAccessibleInterface *node, const QString &name)
{
    if (!node)
        return nullptr;
    if (node->text(QAccessible::Name) == name && node->role() == QAccessible::Button)
        return node;
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface *found = findByName(node->child(i), name))
            return found;
    }
    return nullptr;
}

} // namespace

// Every card can be operated without a pointer: its Copy, Preview and expand buttons are in
// the accessibility tree whether or not the pointer is over the card, and pressing them
// through the accessibility interface does what a click does.
class CardAccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void buttonsAreExposedAndPressable_data();
    void buttonsAreExposedAndPressable();
    void expandToggleIsNamedForWhatItDoes();

private:
    QQuickItem *showCard(const QString &entry);

    CardFixture m_fixture;
    std::unique_ptr<QQuickView> m_view;
};

void CardAccessibilityTest::init()
{
    m_view = std::make_unique<QQuickView>();
    m_fixture.install(*m_view->engine());
    m_view->resize(400, 500);
}

void CardAccessibilityTest::cleanup()
{
    m_view.reset();
}

QQuickItem *CardAccessibilityTest::showCard(const QString &entry)
{
    QQmlComponent component(m_view->engine());
    component.setData("import QtQuick\nimport Tessary\nClipboardCard { width: 320 }", {});
    QVariantMap properties = m_fixture.entry(entry);
    properties.insert("highlighted", false);
    auto *card = qobject_cast<QQuickItem *>(component.createWithInitialProperties(properties));
    if (!card) {
        qWarning() << component.errors();
        return nullptr;
    }
    card->setParent(m_view.get());
    card->setParentItem(m_view->contentItem());
    m_view->show();
    if (!QTest::qWaitForWindowExposed(m_view.get()))
        return nullptr;
    return card;
}

void CardAccessibilityTest::buttonsAreExposedAndPressable_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("previewable");
    QTest::newRow("text") << "text" << false;
    QTest::newRow("image") << "wide" << true;
    QTest::newRow("files") << "files" << true;
}

void CardAccessibilityTest::buttonsAreExposedAndPressable()
{
    QFETCH(QString, entry);
    QFETCH(bool, previewable);
    QQuickItem *card = showCard(entry);
    QVERIFY(card);
    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(m_view.get());
    QVERIFY(root);

    QSignalSpy copied(card, SIGNAL(copyRequested()));
    QSignalSpy previewed(card, SIGNAL(previewRequested()));

    // Not highlighted: nothing is drawn, yet a screen reader finds and presses the buttons.
    QAccessibleInterface *copy = findByName(root, "Copy");
    QVERIFY(copy);
    QVERIFY(!copy->state().invisible);
    QVERIFY(copy->actionInterface());
    QVERIFY(
        copy->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    copy->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(copied.count(), 1);
    QCOMPARE(previewed.count(), 0);

    QAccessibleInterface *preview = findByName(root, "Preview");
    QCOMPARE(preview != nullptr, previewable);
    if (preview) {
        QVERIFY(!preview->state().invisible);
        preview->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(previewed.count(), 1);
        QCOMPARE(copied.count(), 1);
    }
    QVERIFY(!findByName(root, "Expand"));
}

void CardAccessibilityTest::expandToggleIsNamedForWhatItDoes()
{
    QQuickItem *card = showCard("long");
    QVERIFY(card);
    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(m_view.get());
    QAccessibleInterface *toggle = findByName(root, "Expand");
    QVERIFY(toggle);
    toggle->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(card->property("expanded").toBool(), true);
    QCOMPARE(toggle->text(QAccessible::Name), QStringLiteral("Collapse"));
    toggle->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(card->property("expanded").toBool(), false);
    QCOMPARE(toggle->text(QAccessible::Name), QStringLiteral("Expand"));
}

QTEST_MAIN(CardAccessibilityTest)
#include "tst_cardaccessibility.moc"
