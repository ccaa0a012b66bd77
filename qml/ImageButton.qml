import QtQuick

// An image that works as a button: its pressed form while held, dimmed while
// hovered, and `clicked` only when released over it.
Image {
    id: button

    property string image
    property string pressedImage: image
    // Opacity while held; arrows go darker than the big buttons.
    property real pressedOpacity: 0.8
    property alias pressed: area.pressed
    property alias hovered: area.containsMouse
    property string accessibleName
    // Says the key that does the same, where there is one.
    property string toolTip

    signal pressStarted()
    signal clicked()

    source: area.pressed ? pressedImage : image
    opacity: !enabled ? 0.2 : area.pressed ? pressedOpacity : area.containsMouse ? 0.8 : 1.0

    activeFocusOnTab: true
    Keys.onPressed: (event) => {
        event.accepted = [Qt.Key_Return, Qt.Key_Enter, Qt.Key_Space].includes(event.key)
        if (event.accepted && enabled)
            button.clicked()
    }

    Accessible.role: Accessible.Button
    Accessible.name: accessibleName
    Accessible.description: toolTip
    Accessible.onPressAction: if (enabled) button.clicked()

    ToolTip {
        id: area
        toolTip: button.toolTip
        inList: false
        onPressed: button.pressStarted()
        onReleased: if (containsMouse) button.clicked()
    }

    FocusRing {}
}
