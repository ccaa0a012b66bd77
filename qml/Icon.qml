import QtQuick

// A catalogue tile: picture, caption and a highlight while selected.
Rectangle {
    id: tile

    property bool selected: false
    property string iconImage
    property string iconText

    signal clicked()

    function activate() {
        mediaList.clearSelections()
        tile.clicked()
    }

    width: 92
    height: 98
    color: "#c0c0c0"

    Accessible.role: Accessible.Button
    Accessible.name: iconText
    Accessible.selected: selected
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

        MouseArea {
            id: area
            anchors.fill: parent
            hoverEnabled: true
            onClicked: tile.activate()
        }
    }

    Text {
        anchors {
            left: parent.left; right: parent.right; bottom: parent.bottom
            leftMargin: 4; rightMargin: 4; bottomMargin: 5
        }
        height: 26
        text: tile.iconText
        color: "#222222"
        font.pixelSize: 11
        wrapMode: Text.WordWrap
        maximumLineCount: 2
        elide: Text.ElideRight
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
}
