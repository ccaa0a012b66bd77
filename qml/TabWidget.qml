import QtQuick

// Tab headers over a stack of pages; one page shows at a time. Each page
// declares `title`, `tabImage` and `tabImageSelected`.
Item {
    id: tabWidget

    property int current: 0
    default property alias content: stack.children

    function setOpacities() {
        for (var i = 0; i < stack.children.length; ++i) {
            stack.children[i].opacity = i === current ? 1 : 0
            // A see-through page must not take clicks.
            stack.children[i].visible = i === current
        }
    }

    // The switching rules: no further than Add with an empty list, not to
    // Convert without an output, and only Convert while a run goes on.
    function select(index) {
        mediaList.clearSelections()
        current = index
        var empty = mediaList.mediaListModel.count === 0
        if (empty || mainPage.ffmpegArgs === "") {
            if ((current === 1 || current === 2) && empty) {
                current = 0
                mainwnd.warning("You must have items in the Media List to proceed!")
            } else if (current === 2 && mainPage.ffmpegArgs === "") {
                current = 1
                mainwnd.warning("You must select an output device or format to proceed!")
            }
        }
        if (mainPage.conversionInProgress) {
            if (current === 0) {
                current = 2
                mainwnd.warning("Please wait for the current conversion to finish before adding more media.")
            } else if (current === 1) {
                current = 2
                mainwnd.warning("You cannot change the output format mid-conversion!")
            }
        }
        if (current !== 2)
            convertTab.currentOverallProgress = 0
    }

    // The page shown takes the keyboard on its first control (`firstFocus`),
    // a grid on its first tile.
    onCurrentChanged: {
        setOpacities()
        var first = stack.children[current].firstFocus
        if (first && first.currentIndex !== undefined)
            first.currentIndex = 0
        if (first)
            first.forceActiveFocus()
    }
    Component.onCompleted: {
        for (var i = 0; i < stack.children.length; ++i)
            stack.children[i].anchors.fill = stack
        setOpacities()
        stack.children[current].firstFocus.forceActiveFocus()
    }

    // Declared through `data`: children in this file must not join the pages.
    data: [
        Row {
            id: header
            spacing: 4

            Repeater {
                id: headers
                model: stack.children.length

                Rectangle {
                    readonly property Item page: stack.children[index]

                    objectName: "tabHeader" + index
                    width: (tabWidget.width - header.spacing * (stack.children.length - 1)) / stack.children.length
                    height: 60
                    color: "#eeeeee"

                    Accessible.role: Accessible.PageTab
                    Accessible.name: page ? page.title : ""
                    Accessible.description: tip.toolTip
                    Accessible.selected: tabWidget.current === index
                    Accessible.onPressAction: tabWidget.select(index)

                    // Return or Space selects; the arrows select the tab beside.
                    activeFocusOnTab: true
                    Keys.onPressed: (event) => {
                        var step = event.key === Qt.Key_Left ? -1 : event.key === Qt.Key_Right ? 1 : 0
                        var to = step !== 0 ? index + step : index
                        event.accepted = step !== 0 || [Qt.Key_Return, Qt.Key_Enter, Qt.Key_Space].includes(event.key)
                        if (!event.accepted || to < 0 || to >= stack.children.length)
                            return
                        tabWidget.select(to)
                        // Return goes into the page; an arrow stays on the headers.
                        if (step !== 0)
                            headers.itemAt(tabWidget.current).forceActiveFocus()
                    }

                    Image {
                        anchors.fill: parent
                        source: page ? (tabWidget.current === index ? page.tabImageSelected : page.tabImage) : ""
                    }

                    ToolTip {
                        id: tip
                        toolTip: page ? page.title + " (Ctrl+" + (index + 1) + ")" : ""
                        inList: false
                        onActivated: tabWidget.select(index)
                    }

                    FocusRing {
                        anchors.margins: 2
                    }
                }
            }
        },

        Item {
            id: stack
            width: parent.width
            anchors { top: header.bottom; bottom: parent.bottom }
        }
    ]
}
