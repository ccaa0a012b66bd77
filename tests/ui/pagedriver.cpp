#include "pagedriver.h"

#include <QAbstractItemModel>
#include <QQuickItem>
#include <QQuickWidget>
#include <QtTest>

namespace PageDriver {

namespace {

QObject *search(QObject *from, const QString &name)
{
    if (from->objectName() == name)
        return from;
    if (auto *it = qobject_cast<QQuickItem *>(from)) {
        for (QQuickItem *child : it->childItems()) {
            if (QObject *found = search(child, name))
                return found;
        }
    }
    for (QObject *child : from->children()) {
        if (QObject *found = search(child, name))
            return found;
    }
    return nullptr;
}

bool shownOnScreen(QQuickItem *item)
{
    for (QQuickItem *it = item; it; it = it->parentItem()) {
        if (!it->isVisible() || it->opacity() <= 0)
            return false;
    }
    return true;
}

} // namespace

QObject *find(QQuickWidget &window, const QString &objectName)
{
    return window.rootObject() ? search(window.rootObject(), objectName) : nullptr;
}

QQuickItem *item(QQuickWidget &window, const QString &objectName)
{
    return qobject_cast<QQuickItem *>(find(window, objectName));
}

bool click(QQuickWidget &window, QQuickItem *item, QPointF at)
{
    if (!item || !shownOnScreen(item))
        return false;
    if (at.x() < 0)
        at = QPointF(item->width() / 2, item->height() / 2);
    const QPoint point = item->mapToScene(at).toPoint();
    QTest::mouseMove(&window, point);
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, point);
    return true;
}

bool click(QQuickWidget &window, const QString &objectName)
{
    return click(window, item(window, objectName));
}

bool shown(QQuickWidget &window, const QString &objectName)
{
    QQuickItem *it = item(window, objectName);
    return it && shownOnScreen(it);
}

QAbstractItemModel *jobs(QQuickWidget &window)
{
    QObject *list = find(window, "mediaList");
    return list ? qobject_cast<QAbstractItemModel *>(qvariant_cast<QObject *>(list->property("mediaListModel")))
                : nullptr;
}

QVariant role(QAbstractItemModel *model, int row, const QString &name)
{
    const QHash<int, QByteArray> roles = model->roleNames();
    return model->data(model->index(row, 0), roles.key(name.toUtf8(), -1));
}

} // namespace PageDriver
