#pragma once

#include <QQmlContext>
#include <QQmlExpression>
#include <QQuickItem>
#include <QQuickWidget>
#include <QtTest>

#include <functional>

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

// Clicks the items in turn, each once it shows.
inline bool clickThrough(QQuickWidget &window, const QStringList &names)
{
    for (const QString &name : names) {
        if (!QTest::qWaitFor([&] { return shown(window, name) != nullptr; }) || !click(window, name))
            return false;
    }
    return true;
}

// One role of every job row, as text.
inline QStringList column(QQuickWidget &window, const QString &role)
{
    return eval(window, "var m = mediaList.mediaListModel, out = []; for (var i = 0; i < m.count; ++i) "
                        "out.push(String(m.get(i)." + role + ")); return out").toStringList();
}

// Runs `answer` once `dialog` shows: a modal dialog is answered from inside
// its own loop.
inline void whenShown(QWidget *dialog, const std::function<void()> &answer)
{
    auto *timer = new QTimer(dialog);
    QObject::connect(timer, &QTimer::timeout, dialog, [timer, dialog, answer] {
        if (dialog->isVisible()) {
            timer->deleteLater();
            timer->stop();
            answer();
        }
    });
    timer->start(50);
}

} // namespace PageDriver
