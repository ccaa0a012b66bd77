import QtQuick

// A tick box with its caption. It does not toggle itself: its user decides
// what a click means.
Rectangle {
    id: checkBox

    property bool checked: true
    property alias text: caption.text

    // Assistive tools ask to toggle through this; the owner handles it like a click.
    signal toggleRequested()

    width: caption.width + 25
    height: box.height
    color: parent && parent.color !== undefined ? parent.color : "transparent"

    activeFocusOnTab: true
    Keys.onPressed: (event) => {
        event.accepted = [Qt.Key_Space, Qt.Key_Return, Qt.Key_Enter].includes(event.key)
        if (event.accepted)
            toggleRequested()
    }

    Accessible.role: Accessible.CheckBox
    Accessible.name: caption.text
    Accessible.checkable: true
    Accessible.checked: checked
    Accessible.onToggleAction: toggleRequested()
    Accessible.onPressAction: toggleRequested()

    Rectangle {
        id: box
        width: 16
        height: 16
        anchors.verticalCenter: parent.verticalCenter
        color: "#555555"
        border.color: "grey"
        border.width: 1
        radius: 3

        Image {
            source: "images/tick.png"
            visible: checkBox.checked
        }
    }

    Text {
        id: caption
        x: 25
        anchors.verticalCenter: parent.verticalCenter
        text: "Output file to same folder as input"
        color: "black"
        font.pixelSize: 11
    }

    FocusRing {}
}
