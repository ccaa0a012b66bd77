#pragma once

#include <QStringList>
#include <QWidget>

// Sits over the job list and takes file drops; otherwise it lets every mouse
// event through to the page underneath.
class DroppableWidget : public QWidget
{
    Q_OBJECT
public:
    explicit DroppableWidget(QWidget *parent = nullptr);

    const QStringList &acceptedExtensions() const { return m_extensions; }

signals:
    void fileDropped(QStringList file);
    void openCDRipDialog();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QStringList m_extensions;
};
