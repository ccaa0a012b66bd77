#pragma once

#include <QQmlContext>
#include <QQmlExpression>
#include <QQuickItem>
#include <QQuickWidget>
#include <QtTest>

// Reaches into the page the way a user would: items by objectName, clicks
// on the widget.
namespace PageDriver {

// Delegates are only reached through childItems(), plain objects through
// children().
inline QQuickItem *item(QObject *from, const QString &name)
{
    if (from->objectName() == name)
        return qobject_cast<QQuickItem *>(from);
    QObjectList below = from->children();
    if (auto *it = qobject_cast<QQuickItem *>(from)) {
        for (QQuickItem *child : it->childItems())
            below << child;
    }
    for (QObject *child : below) {
        if (QQuickItem *found = item(child, name))
            return found;
    }
    return nullptr;
}

// The item when it exists and nothing hides it.
inline QQuickItem *shown(QQuickWidget &window, const QString &name)
{
    QQuickItem *found = item(window.rootObject(), name);
    for (QQuickItem *it = found; it; it = it->parentItem()) {
        if (!it->isVisible() || it->opacity() <= 0)
            return nullptr;
    }
    return found;
}

// Clicks the item's centre; false when it is not on screen.
inline bool click(QQuickWidget &window, const QString &name)
{
    QQuickItem *it = shown(window, name);
    if (!it)
        return false;
    const QPoint point = it->mapToScene(QPointF(it->width() / 2, it->height() / 2)).toPoint();
    QTest::mouseMove(&window, point);
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, point);
    return true;
}

// Runs a script in the page's own scope, where its ids are known.
inline QVariant eval(QQuickWidget &window, const QString &script)
{
    QQmlExpression expression(qmlContext(window.rootObject()), window.rootObject(), "(function () {" + script + "})()");
    const QVariant result = expression.evaluate();
    if (expression.hasError())
        QTest::qFail(qPrintable(expression.error().toString()), __FILE__, __LINE__);
    return result;
}

} // namespace PageDriver
