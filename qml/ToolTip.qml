import QtQuick

// Hover area over its parent that shows a hint box under it after a moment.
MouseArea {
    id: hint

    property string toolTip
    property bool showToolTip: false
    // Over the job list, hovering shows its scroll bar too.
    property bool inList: true

    // A click on the area; `clicked` itself also ends name editing.
    signal activated()

    function place() {
        if (!showToolTip)
            return
        var layer = tip.parent
        var at = hint.mapToItem(layer, 0, hint.height)
        label.width = undefined
        label.wrapMode = Text.NoWrap
        if (label.implicitWidth >= 250) {
            label.width = 250
            label.wrapMode = Text.WordWrap
        }
        tip.x = at.x
        // Above the parent when there is no room below it.
        tip.y = at.y + tip.height > mainPage.height - layer.mapToItem(mainPage, 0, 0).y ? at.y - hint.height - tip.height
                                                                                      : at.y
        var overshoot = at.x + tip.width - layer.width
        if (overshoot > 0)
            tip.x = at.x - (overshoot + 1)
    }

    anchors.fill: parent
    hoverEnabled: true
    onEntered: {
        timer.start()
        if (inList)
            mediaList.scrollBar.opacity = 1
    }
    onExited: {
        showToolTip = false
        timer.stop()
    }
    onClicked: {
        mediaList.clearSelections()
        hint.activated()
    }
    onShowToolTipChanged: place()

    Timer {
        id: timer
        interval: 250
        onTriggered: hint.showToolTip = true
    }

    Rectangle {
        id: tip
        objectName: hint.objectName + "Box"
        // Drawn over the whole list, not clipped by the row.
        parent: mediaList.tipLayer
        z: 200
        width: label.width + 4
        height: label.height + 4
        color: "#ffffaa"
        border.color: "#0a0a0a"
        opacity: hint.toolTip !== "" && hint.showToolTip ? 1 : 0
        visible: opacity > 0

        Behavior on opacity {
            NumberAnimation { duration: 250; easing.type: Easing.InOutQuad }
        }

        Text {
            id: label
            x: 2
            y: 2
            text: hint.toolTip
            color: "black"
            font.pixelSize: 12
        }
    }
}
