import QtQuick

// The job list's scroll bar: the track pages towards a press, the slider drags.
Item {
    id: scrollBar

    property Flickable target

    // Top of the content; Qt Quick moves it when rows above the view go away.
    readonly property real contentTop: target ? target.originY : 0
    readonly property real scrollRange: target ? Math.max(0, target.contentHeight - target.height) : 0

    function scrollTo(y) {
        target.contentY = contentTop + Math.max(0, Math.min(scrollRange, y - contentTop))
    }

    // One page up or down; `direction` is -1 or 1.
    function page(direction) {
        scrollTo(target.contentY + direction * target.height)
    }

    width: 32
    anchors { top: target.top; bottom: target.bottom; right: target.right }
    clip: true
    opacity: 0
    visible: slider.height !== track.height && mediaList.mediaListModel.count > 0

    Accessible.role: Accessible.ScrollBar
    Accessible.name: "Media List scroll bar"

    Behavior on opacity {
        NumberAnimation { duration: 250; easing.type: Easing.InOutQuad }
    }

    MouseArea {
        id: track

        // Up when pressed above the slider, down below it, until released.
        property int direction: 1

        anchors { fill: parent; topMargin: 1; leftMargin: 1; rightMargin: 2; bottomMargin: 2 }
        onPressed: (mouse) => {
            direction = mouse.y < slider.y ? -1 : 1
            pager.start()
        }
        onReleased: pager.stop()
        onCanceled: pager.stop()

        Timer {
            id: pager
            interval: 20
            repeat: true
            onTriggered: scrollBar.page(track.direction)
        }

        BorderImage {
            id: slider
            objectName: "slider"
            source: "images/scrollBar.png"
            border { top: 15; bottom: 15 }
            opacity: 0.6
            width: track.width
            height: target && target.contentHeight > 0
                    ? Math.max(32, Math.min(track.height, track.height * target.height / target.contentHeight))
                    : track.height
            y: target ? Math.max(0, Math.min(track.height - height,
                                             target.visibleArea.yPosition * track.height)) : 0

            MouseArea {
                id: dragArea

                property real grabY: 0

                anchors.fill: parent
                acceptedButtons: Qt.LeftButton
                preventStealing: true
                onPressed: (mouse) => { grabY = mouse.y }
                onPositionChanged: (mouse) => {
                    var y = Math.max(0, Math.min(track.height - slider.height,
                                                 slider.y + mouse.y - grabY))
                    scrollBar.scrollTo(y * target.contentHeight / track.height + scrollBar.contentTop)
                }
            }
        }
    }
}
