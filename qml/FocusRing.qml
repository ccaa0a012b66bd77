import QtQuick

// The keyboard focus drawn around its parent: dark blue, 3 pixels, which
// stands out at 3:1 or more against every background of the page.
Rectangle {
    property Item target: parent

    anchors.fill: parent
    anchors.margins: -3
    color: "transparent"
    border.width: 3
    border.color: "#1a4f9c"
    radius: 5
    visible: target && target.activeFocus
    z: 100
}
