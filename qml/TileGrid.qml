import QtQuick

// Catalogue tiles in a grid or a row: one stop of the Tab key, in which the
// arrow keys move, Home and End jump, and Return or Space chooses.
GridView {
    cellWidth: 92
    cellHeight: 98
    activeFocusOnTab: true
    keyNavigationEnabled: true
    boundsBehavior: Flickable.StopAtBounds
    Keys.onPressed: (event) => {
        if (event.key === Qt.Key_Home || event.key === Qt.Key_End)
            currentIndex = event.key === Qt.Key_Home ? 0 : count - 1
        else if ([Qt.Key_Return, Qt.Key_Enter, Qt.Key_Space].includes(event.key) && currentItem)
            currentItem.activate()
        else
            return
        event.accepted = true
    }
}
