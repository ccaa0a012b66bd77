#pragma once

#include <QPointF>
#include <QString>
#include <QVariant>

class QAbstractItemModel;
class QObject;
class QQuickItem;
class QQuickWidget;

// Reaches into the page the way a user would: finds items by objectName and
// clicks them on the widget.
namespace PageDriver {

// First object under the page root with this objectName (items, delegates
// and plain objects alike), or null.
QObject *find(QQuickWidget &window, const QString &objectName);
QQuickItem *item(QQuickWidget &window, const QString &objectName);

// True when the item exists and nothing hides it.
bool shown(QQuickWidget &window, const QString &objectName);

// Clicks the item's centre (or `at`, in item coordinates) on the widget.
// Returns false when the item is missing or not visible on screen.
bool click(QQuickWidget &window, QQuickItem *item, QPointF at = QPointF(-1, -1));
bool click(QQuickWidget &window, const QString &objectName);

QAbstractItemModel *jobs(QQuickWidget &window);
QVariant role(QAbstractItemModel *model, int row, const QString &name);

} // namespace PageDriver
