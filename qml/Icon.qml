import QtQuick

// A catalogue tile: picture, caption and a highlight while selected.
Rectangle {
    id: tile

    property bool selected: false
    property string iconImage
    property string iconText
    property string toolTip

    signal clicked()

    function activate() {
        mediaList.clearSelections()
        tile.clicked()
    }

    width: 92
    height: 98
    color: "#c0c0c0"
    // In a grid the grid is the Tab stop and its current tile has the focus.
    focus: GridView.isCurrentItem
    activeFocusOnTab: !GridView.view
    Keys.onPressed: (event) => {
        event.accepted = [Qt.Key_Return, Qt.Key_Enter, Qt.Key_Space].includes(event.key)
        if (event.accepted)
            activate()
    }

    Accessible.role: Accessible.Button
    Accessible.name: iconText
    Accessible.description: toolTip
    Accessible.selected: selected
    Accessible.focusable: true
    Accessible.onPressAction: activate()

    Image {
        source: tile.selected ? "images/iconBackSelected.png" : "images/iconBack.png"
    }

    Image {
        id: picture
        anchors.horizontalCenter: parent.horizontalCenter
        y: 11
        source: tile.iconImage
        // Only the picture reacts to the pointer.
        opacity: area.pressed ? (area.containsMouse ? 0.5 : 1.0) : (area.containsMouse ? 0.9 : 1.0)

        ToolTip {
            id: area
            toolTip: tile.toolTip
            inList: false
            onActivated: tile.activate()
        }
    }

    Text {
        anchors {
            left: parent.left; right: parent.right; bottom: parent.bottom
            leftMargin: 4; rightMargin: 4; bottomMargin: 5
        }
        height: 26
        text: tile.iconText
        color: "#1a1a1a"
        font.pixelSize: 11
        wrapMode: Text.WordWrap
        maximumLineCount: 2
        elide: Text.ElideRight
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }

    FocusRing {
        anchors.margins: 1
    }
}
