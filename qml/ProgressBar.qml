import QtQuick

// A bar of how much is done, with the share written on it. A light track
// with a dark edge, so that an idle bar reads as a bar and not as a field.
Item {
    id: progressBar

    property int minimum: 0
    property int maximum: 100
    property int value: 0
    property color color: "#555555"
    // Screen readers get the value itself (app/pageaccessibility.cpp).
    property string accessibleName: "Overall progress"
    readonly property int percent: Math.round(100 * (value - minimum) / Math.max(1, maximum - minimum))

    width: 300
    height: 40
    clip: true

    Accessible.role: Accessible.ProgressBar
    Accessible.name: accessibleName

    Rectangle {
        width: parent.width - 1
        height: parent.height - 1
        border.width: 1
        border.color: progressBar.color
        color: "#f4f4f4"
        radius: 5
    }

    Rectangle {
        id: bar
        objectName: "bar"
        anchors { left: parent.left; top: parent.top; bottom: parent.bottom; margins: 2 }
        radius: 5
        color: "#4a8ad0"
        width: maximum > minimum
               ? Math.max(0, progressBar.width * (value - minimum) / (maximum - minimum) - 4)
               : 0

        Behavior on width {
            NumberAnimation { duration: 1000 }
        }
    }

    // Dark enough on the track and on the bar alike.
    Text {
        anchors.centerIn: parent
        text: progressBar.percent + " %"
        color: "#111111"
        font.pixelSize: 14
        font.bold: true
    }
}
