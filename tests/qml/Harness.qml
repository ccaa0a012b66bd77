import QtQuick

// The page with the test double as its backend: the page finds `mainwnd`
// through this file's ids.
Item {
    id: harness

    property alias backend: mainwnd
    property alias page: loader.item
    // Set before `active` so the page's lists are read from them.
    property bool active: false

    width: 800
    height: 552

    MainwndDouble {
        id: mainwnd
    }

    Loader {
        id: loader
        anchors.fill: parent
        active: harness.active
        source: pageFolder + "main.qml"
    }
}
