import QtQuick

// The whole window: title strip, the three tabs and the job list. The run
// belongs to the job queue (`jobs`); the page shows its list and passes the
// user's actions on.
Rectangle {
    id: mainPage

    property string ffmpegArgs: ""
    property string outPath: ""
    property string outExt: ""
    readonly property bool conversionInProgress: jobs.running
    readonly property int overallDuration: jobs.overallDuration
    property int formatId: 0
    property int outputId: 0
    property bool maximized: false
    // The output choice the jobs convert with, saved with them.
    readonly property var jobSettings: ({ ffmpegArgs: ffmpegArgs, outPath: outPath, outExt: outExt,
                                          formatId: formatId, outputId: outputId,
                                          outputSameFolder: formatTab.outputSameFolder.checked })
    onJobSettingsChanged: jobs.setChoice(jobSettings)

    // Runs the waiting rows; a disc run burns to `drive` at its end.
    function startNextConversion(drive) {
        jobs.start(drive || "", mediaList.chosenPresetCaption())
    }

    // Opens the file dialog of an input kind and adds what was chosen.
    function addFromAddRow(row) {
        if (row >= addTab.addModel.count)
            return
        var entry = addTab.addModel.get(row)
        var files = mainwnd.openInputFile(entry.gOpenTitle, entry.gOpenFilter)
        if (files.length > 0)
            mediaList.addFile(files, "file")
    }

    width: 800
    height: 552
    color: "#eeeeee"
    radius: 5
    border.color: "#c0c0c0"
    // The one pane of the window's frame that holds every control.
    Accessible.role: Accessible.Pane

    // Keys of the whole window; each control's tooltip names its key.
    Shortcut { sequence: "Ctrl+1"; onActivated: idTabs.select(0) }
    Shortcut { sequence: "Ctrl+2"; onActivated: idTabs.select(1) }
    Shortcut { sequence: "Ctrl+3"; onActivated: idTabs.select(2) }
    Shortcut { sequence: "Alt+F"; onActivated: mainwnd.showMenu(0, menus.x + 5) }
    Shortcut { sequence: "Alt+H"; onActivated: mainwnd.showMenu(1, menus.x + menuCaptions.itemAt(1).x + 5) }
    Shortcut {
        sequence: "Ctrl+O"
        onActivated: {
            var files = mainwnd.openMediaFiles()
            if (files.length > 0)
                mediaList.addFile(files, "file")
        }
    }
    // Convert from any tab, whenever the Convert button would take a click.
    Shortcut {
        sequences: ["Ctrl+Return", "Ctrl+Enter"]
        onActivated: {
            if (!convertTab.convertButton.enabled || mainPage.conversionInProgress)
                return
            idTabs.select(2)
            if (idTabs.current === 2)
                convertTab.convert()
        }
    }

    Connections {
        target: mainwnd
        function onFileDropped(file) { mediaList.addFile(file, "file") }
        function onAddAudioFile() { mainPage.addFromAddRow(0) }
        function onAddVideoFile() { mainPage.addFromAddRow(1) }
        function onAddAudioCD(filename) { mediaList.addFile(filename, "cd") }
        function onAddDVD(filename, length) { mediaList.addDVD(filename, length) }
    }

    Connections {
        target: jobs
        function onNoStreamsFound(fileName) {
            mainwnd.warning(jobs.noStreams(fileName) + "\n\nThis file has NOT been added to the Media List.")
        }
        function onConverterMissing(message) { mainwnd.warning(message) }
        function onProgressChanged() { convertTab.currentOverallProgress = jobs.overallProgress }
        // Saved jobs come back with the choice they had.
        function onRestored(settings) {
            for (var name of ["ffmpegArgs", "outPath", "outExt"])
                mainPage[name] = String(settings[name] || "")
            mainPage.formatId = Number(settings.formatId) || 0
            mainPage.outputId = Number(settings.outputId) || 0
            formatTab.outputSameFolder.checked = settings.outputSameFolder !== false
        }
        function onListChanged() {
            if (mediaList.mediaListModel.count === 0)
                idTabs.current = 0
        }
    }

    // Any click outside the rows ends name editing.
    MouseArea {
        anchors.fill: parent
        onPressed: mediaList.clearSelections()
    }

    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 8
        text: "MediaForgeStudio"
        font.pixelSize: 13
        font.bold: true
        color: "#333333"
    }

    Row {
        id: menus
        x: 10
        y: 8
        spacing: 12

        // The underlined letter opens the menu with Alt.
        Repeater {
            id: menuCaptions
            model: [{ name: "File", key: "Alt+F" }, { name: "Help", key: "Alt+H; F1: Manual" }]

            Text {
                objectName: "menu" + modelData.name
                text: "<u>" + modelData.name[0] + "</u>" + modelData.name.slice(1)
                textFormat: Text.StyledText
                font.pixelSize: 13
                color: menuArea.containsMouse ? "#000000" : "#333333"
                activeFocusOnTab: true
                Keys.onPressed: (event) => {
                    event.accepted = [Qt.Key_Return, Qt.Key_Enter, Qt.Key_Space, Qt.Key_Down].includes(event.key)
                    if (event.accepted)
                        mainwnd.showMenu(index, menus.x + x + 5)
                }

                Accessible.role: Accessible.ButtonMenu
                Accessible.name: modelData.name
                Accessible.description: menuArea.toolTip
                Accessible.onPressAction: mainwnd.showMenu(index, menus.x + x + 5)

                ToolTip {
                    id: menuArea
                    anchors.margins: -3
                    toolTip: modelData.name + " menu (" + modelData.key + ")"
                    inList: false
                    onActivated: mainwnd.showMenu(index, menus.x + parent.x + 5)
                }

                FocusRing {}
            }
        }
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: 10
        y: 8
        spacing: 6

        ImageButton {
            objectName: "minimizeButton"
            image: "images/minimizeButton.png"
            pressedImage: "images/minimizeButtonClicked.png"
            accessibleName: "Minimize"
            onClicked: mainwnd.showMinimized()
        }

        ImageButton {
            objectName: "maximizeButton"
            image: mainPage.maximized ? "images/restoreButton.png" : "images/maximizeButton.png"
            pressedImage: mainPage.maximized ? "images/restoreButtonClicked.png"
                                             : "images/maximizeButtonClicked.png"
            accessibleName: mainPage.maximized ? "Restore" : "Maximize"
            onClicked: {
                if (mainPage.maximized)
                    mainwnd.showNormal()
                else
                    mainwnd.showMaximized()
                mainPage.maximized = !mainPage.maximized
            }
        }

        ImageButton {
            objectName: "closeButton"
            image: "images/closeButton.png"
            pressedImage: "images/closeButtonClicked.png"
            accessibleName: "Close"
            onClicked: mainwnd.close()
        }
    }

    TabWidget {
        id: idTabs
        objectName: "idTabs"
        x: 10
        width: 380
        anchors { top: parent.top; topMargin: 32; bottom: parent.bottom; bottomMargin: 10 }

        AddTab {
            id: addTab
            objectName: "addTab"
            title: "Add"
            tabImage: "images/addTab.png"
            tabImageSelected: "images/addTabSelected.png"
        }

        FormatTab {
            id: formatTab
            objectName: "formatTab"
            title: "Format"
            tabImage: "images/formatTab.png"
            tabImageSelected: "images/formatTabSelected.png"
        }

        ConvertTab {
            id: convertTab
            objectName: "convertTab"
            title: "Convert"
            tabImage: "images/convertTab.png"
            tabImageSelected: "images/convertTabSelected.png"
        }
    }

    Image {
        x: 400 + (parent.width - 410 - width) / 2
        y: 32 + (parent.height - 42 - height) / 2
        source: "images/dragDrop.png"
        visible: mediaList.mediaListModel.count === 0
    }

    MediaList {
        id: mediaList
        objectName: "mediaList"
        anchors {
            left: parent.left; leftMargin: 400
            top: parent.top; topMargin: 32
            right: parent.right; rightMargin: 10
            bottom: parent.bottom; bottomMargin: 10
        }
    }
}
