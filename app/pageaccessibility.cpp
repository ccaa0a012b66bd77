#include "app/pageaccessibility.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWidget>
#include <QQuickWindow>

namespace {

// Kept as an object: asked for while the widget is being destroyed, it is
// then no longer a QQuickWidget, and the cast below says so.
QPointer<QObject> page;

QQuickWidget *pageWidget()
{
    return qobject_cast<QQuickWidget *>(page.data());
}

// The accessible items under `item`: those that have an interface, or else
// their own accessible items, in the scene's order.
void accessibleItems(QQuickItem *item, QList<QQuickItem *> *out)
{
    for (QQuickItem *child : item->childItems()) {
        if (QAccessible::queryAccessibleInterface(child))
            out->append(child);
        else
            accessibleItems(child, out);
    }
}

// An item of the page; Qt's own interface can't be derived from.
class ItemAccessible : public QAccessibleObject
{
public:
    explicit ItemAccessible(QQuickItem *item)
        : QAccessibleObject(item)
    {
    }

    QQuickItem *item() const { return static_cast<QQuickItem *>(object()); }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invisible = !item()->isVisible() || !item()->window() || !item()->window()->isVisible();
        return s;
    }
    QRect rect() const override
    {
        return QRect(item()->mapToGlobal(QPointF(0, 0)).toPoint(), item()->size().toSize());
    }
    // The nearest accessible item above, or the window for the page's root.
    QAccessibleInterface *parent() const override
    {
        if (QQuickWidget *widget = pageWidget(); widget && item() == widget->rootObject())
            return QAccessible::queryAccessibleInterface(widget);
        for (QQuickItem *up = item()->parentItem(); up; up = up->parentItem()) {
            if (QAccessibleInterface *found = QAccessible::queryAccessibleInterface(up))
                return found;
        }
        return nullptr;
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
};

// The page's root, holding every control. Qt gives the items at the top of
// a widget's scene no parent, so the tree would break there.
class RootAccessible : public ItemAccessible
{
public:
    using ItemAccessible::ItemAccessible;

    QList<QQuickItem *> items() const
    {
        QList<QQuickItem *> list;
        accessibleItems(item(), &list);
        return list;
    }

    QAccessible::Role role() const override { return QAccessible::Pane; }
    QString text(QAccessible::Text) const override { return {}; }
    int childCount() const override { return int(items().size()); }
    QAccessibleInterface *child(int index) const override
    {
        return QAccessible::queryAccessibleInterface(items().value(index));
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(items().indexOf(qobject_cast<QQuickItem *>(child->object()))) : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QList<QQuickItem *> list = items();
        for (auto it = list.crbegin(); it != list.crend(); ++it) {
            QAccessibleInterface *found = QAccessible::queryAccessibleInterface(*it);
            if (found->state().invisible || !found->rect().contains(x, y))
                continue;
            QAccessibleInterface *deeper = found->childAt(x, y);
            return deeper ? deeper : found;
        }
        return nullptr;
    }
};

// The widget as a frame holding the page. Qt's own interface for it is a
// filler beside an empty frame of the scene's window.
class WindowAccessible : public QAccessibleWidget
{
public:
    explicit WindowAccessible(QQuickWidget *widget)
        : QAccessibleWidget(widget, QAccessible::Window)
    {
    }

    QAccessibleInterface *root() const
    {
        return QAccessible::queryAccessibleInterface(static_cast<QQuickWidget *>(object())->rootObject());
    }

    int childCount() const override { return root() ? 1 : 0; }
    QAccessibleInterface *child(int index) const override { return index == 0 ? root() : nullptr; }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child == root() ? 0 : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        return root() ? root()->childAt(x, y) : nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        auto *widget = static_cast<QQuickWidget *>(object());
        for (QQuickItem *item = widget->quickWindow()->activeFocusItem(); item; item = item->parentItem()) {
            if (QAccessibleInterface *found = QAccessible::queryAccessibleInterface(item))
                return found;
        }
        return nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return widget()->windowTitle().isEmpty() ? QApplication::applicationName() : widget()->windowTitle();
        return QAccessibleWidget::text(t);
    }
};

// Tells listeners of a progress bar's new value.
class ValueRelay : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

public slots:
    void changed()
    {
        QAccessibleValueChangeEvent event(parent(), parent()->property("value"));
        QAccessible::updateAccessibility(&event);
    }
};

// The page's progress bars with their values; Qt gives an item in the
// progress bar role no value of its own. The item has `value`, `minimum`,
// `maximum` and `accessibleName` (qml/ProgressBar.qml).
class ProgressAccessible : public ItemAccessible, public QAccessibleValueInterface
{
public:
    explicit ProgressAccessible(QQuickItem *item)
        : ItemAccessible(item)
    {
        QObject::connect(item, SIGNAL(valueChanged()), new ValueRelay(item), SLOT(changed()));
    }

    QAccessible::Role role() const override { return QAccessible::ProgressBar; }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return item()->property("accessibleName").toString();
        if (t == QAccessible::Value)
            return currentValue().toString() + " %";
        return {};
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface *>(this) : nullptr;
    }

    QVariant currentValue() const override { return item()->property("value"); }
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return item()->property("maximum"); }
    QVariant minimumValue() const override { return item()->property("minimum"); }
    QVariant minimumStepSize() const override { return 1; }
};

QAccessibleInterface *pageFactory(const QString &className, QObject *object)
{
    QQuickWidget *widget = pageWidget();
    if (!widget)
        return nullptr;
    // Asked first by the most derived class's name.
    if (object == widget)
        return new WindowAccessible(widget);
    // Asked for as soon as an item has accessible properties, before the
    // item's own properties are set: known by the page's type name.
    if (className.startsWith(QLatin1String("ProgressBar_QMLTYPE")))
        return new ProgressAccessible(static_cast<QQuickItem *>(object));
    if (className == QLatin1String("QQuickItem") && object == widget->rootObject())
        return new RootAccessible(static_cast<QQuickItem *>(object));
    return nullptr;
}

} // namespace

namespace PageAccessibility {

void install(QQuickWidget *window)
{
    page = window;
    // Installed last, so asked first: before Qt's own factory for the widget.
    QAccessible::installFactory(pageFactory);
    // An interface made before now would stay in the cache: the widget's,
    // and the page root's, which is asked for while the page loads.
    const auto refresh = [](QObject *object) {
        QAccessibleInterface *old = QAccessible::queryAccessibleInterface(object);
        if (old && !dynamic_cast<WindowAccessible *>(old) && !dynamic_cast<RootAccessible *>(old))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(old));
    };
    refresh(window);
    QObject::connect(window, &QQuickWidget::statusChanged, window, [window, refresh] {
        if (window->rootObject())
            refresh(window->rootObject());
    });
    // The scene's own window is a top-level window that is never shown;
    // listed, it is a second, empty frame of the same program. Desktop
    // windows are not listed, and the type means nothing to a window that
    // has no native side.
    window->quickWindow()->setFlags((window->quickWindow()->flags() & ~Qt::WindowType_Mask) | Qt::Desktop);
}

} // namespace PageAccessibility

#include "pageaccessibility.moc"
