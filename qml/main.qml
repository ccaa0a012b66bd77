import QtQuick

Rectangle {
    id: mainPage
    width: 800
    height: 552
    color: "#eeeeee"
    radius: 5
    border.color: "#c0c0c0"

    property bool maximized: false

    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 10
        text: "MediaForgeStudio"
        font.pixelSize: 13
        color: "#222222"
    }

    Row {
        x: 12
        y: 10
        spacing: 14
        Repeater {
            model: ["File", "Help"]
            Text {
                text: modelData
                font.pixelSize: 13
                color: "#222222"
                Accessible.role: Accessible.MenuItem
                Accessible.name: modelData
                MouseArea {
                    anchors.fill: parent
                    onClicked: mainwnd.showMenu(index, parent.x + 5)
                }
            }
        }
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: 10
        y: 7
        spacing: 6
        Repeater {
            model: [
                { glyph: "\u2013", name: "Minimize" },
                { glyph: "\u25a1", name: "Maximize" },
                { glyph: "\u00d7", name: "Close" }
            ]
            Rectangle {
                width: 18; height: 18; radius: 3
                color: area.pressed ? "#c0c0c0" : "transparent"
                Accessible.role: Accessible.Button
                Accessible.name: modelData.name
                Text {
                    anchors.centerIn: parent
                    text: modelData.glyph
                    font.pixelSize: 14
                    color: "#444444"
                }
                MouseArea {
                    id: area
                    anchors.fill: parent
                    onClicked: {
                        if (index === 0) {
                            mainwnd.showMinimized()
                        } else if (index === 1) {
                            if (mainPage.maximized) mainwnd.showNormal(); else mainwnd.showMaximized()
                            mainPage.maximized = !mainPage.maximized
                        } else {
                            mainwnd.close()
                        }
                    }
                }
            }
        }
    }

    Rectangle {
        id: tabArea
        x: 10
        width: 380
        anchors.top: parent.top
        anchors.topMargin: 32
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 10
        color: "#c0c0c0"
        radius: 5
    }

    Item {
        id: listArea
        anchors {
            left: parent.left; leftMargin: 400
            top: parent.top; topMargin: 32
            right: parent.right; rightMargin: 10
            bottom: parent.bottom; bottomMargin: 10
        }
        Text {
            anchors.centerIn: parent
            text: "Drag and drop media files here"
            color: "#888888"
            font.pixelSize: 15
        }
    }
}
