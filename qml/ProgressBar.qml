import QtQuick

Item {
    id: progressBar

    property int minimum: 0
    property int maximum: 100
    property int value: 0
    property color color: "#555555"

    width: 300
    height: 40
    clip: true

    Accessible.role: Accessible.ProgressBar
    Accessible.name: "Overall progress"
    Accessible.description: Math.round(100 * (value - minimum) / Math.max(1, maximum - minimum)) + "%"

    Rectangle {
        width: parent.width - 1
        height: parent.height - 1
        border.width: 1
        border.color: progressBar.color
        color: "#777777"
        radius: 5
    }

    Rectangle {
        id: bar
        anchors { left: parent.left; top: parent.top; bottom: parent.bottom; margins: 2 }
        radius: 5
        color: "#cccccc"
        width: maximum > minimum
               ? Math.max(0, progressBar.width * (value - minimum) / (maximum - minimum) - 4)
               : 0

        Behavior on width {
            NumberAnimation { duration: 1000 }
        }
    }
}
