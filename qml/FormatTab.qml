import QtQuick

// What to convert to: a device or format first, then one of its presets.
Rectangle {
    id: formatTab

    property string title
    property string tabImage
    property string tabImageSelected
    property bool deviceFormatPage: true
    property string secondPageTitle: ""
    property alias outputSameFolder: checkSameFolder
    property alias outputModel: outputModel
    property alias outputSelected: outputModel.selectedNumber
    property alias deviceModel: deviceModel
    property alias formatModel: formatModel
    property alias settingsPanel: settings
    readonly property Item firstFocus: deviceFormatPage ? formatFlickable : outputList

    // One tile.
    readonly property int step: 92

    function addIconsToDeviceList() {
        var rows = mainwnd.getDeviceModel()
        for (var i = 0; i + 6 < rows.length; i += 7)
            deviceModel.append({ gIconImage: rows[i + 3], gIconText: rows[i + 1], gId: rows[i] })
    }

    function addIconsToFormatList() {
        var rows = mainwnd.getFormatModel()
        for (var i = 0; i + 6 < rows.length; i += 7)
            formatModel.append({ gIconImage: rows[i + 3], gIconText: rows[i + 1], gId: rows[i] })
    }

    function addIconsToOutputPage(id, title, device) {
        outputModel.clear()
        secondPageTitle = device ? title : title + " Quality"
        var rows = mainwnd.getOutputModel(String(id))
        for (var i = 0; i + 8 < rows.length; i += 9) {
            outputModel.append({ gFormatId: String(id), gOutputId: rows[i], gIconImage: rows[i + 3],
                                 gIconText: rows[i + 1], gArgList: rows[i + 8],
                                 gAssociatedExt: rows[i + 4], gId: rows[i] })
        }
        outputModel.selectedNumber = -1
        outputList.positionViewAtBeginning()
        deviceFormatPage = false
        // The keyboard goes on with the first preset.
        outputList.currentIndex = 0
        outputList.forceActiveFocus()
    }

    function choosePreset(row) {
        var preset = outputModel.get(row)
        mainPage.ffmpegArgs = preset.gArgList
        mainPage.outExt = preset.gAssociatedExt
        outputModel.selectedNumber = row
        mainPage.formatId = Number(preset.gFormatId)
        mainPage.outputId = Number(preset.gOutputId)
    }

    // Position of a view from its start, and its last position.
    function position(view) {
        return view.contentX - view.originX
    }

    function lastPosition(view) {
        return Math.max(0, view.contentWidth - view.width)
    }

    // Moves a view one tile along; a step still under way counts as done.
    function stepView(view, direction) {
        var from = slide.running && slide.target === view ? slide.to - view.originX : position(view)
        var to = direction < 0 ? Math.max(0, from - step) : Math.min(lastPosition(view), from + step)
        slideTo(view, to)
    }

    function slideTo(view, to) {
        slide.stop()
        slide.target = view
        slide.to = view.originX + to
        slide.start()
    }

    // A flick of the format grid comes to rest on a whole tile.
    function snapFormatGrid() {
        var x = position(formatFlickable)
        var rest = x % step
        var to = rest > step / 2 ? x - rest + step : x - rest
        slideTo(formatFlickable, Math.max(0, Math.min(lastPosition(formatFlickable), to)))
    }

    function withSeparator(folder) {
        var sep = mainwnd.separator
        return folder.slice(-sep.length) === sep ? folder : folder + sep
    }

    function chooseOutputFolder() {
        mediaList.clearSelections()
        if (checkSameFolder.checked)
            return
        var folder = mainwnd.openOutputFolder()
        if (folder !== "")
            mainPage.outPath = withSeparator(folder)
    }

    function toggleSameFolder() {
        mediaList.clearSelections()
        checkSameFolder.checked = !checkSameFolder.checked
        if (checkSameFolder.checked) {
            mainPage.outPath = ""
            return
        }
        var folder = mainwnd.openOutputFolder()
        if (folder === "")
            checkSameFolder.checked = true
        else
            mainPage.outPath = withSeparator(folder)
    }

    color: "#c0c0c0"

    Component.onCompleted: {
        addIconsToDeviceList()
        addIconsToFormatList()
    }

    ListModel {
        id: deviceModel
    }

    ListModel {
        id: formatModel
    }

    ListModel {
        id: outputModel

        property int selectedNumber: -1
    }

    NumberAnimation {
        id: slide
        property: "contentX"
        duration: 100
    }

    component Heading: Text {
        x: 17
        font.pointSize: 13
        color: "black"
        style: Text.Raised
        styleColor: "white"
    }

    component Arrow: ImageButton {
        property Flickable view
        property int direction: 1

        image: direction < 0 ? "images/arrow-left.png" : "images/arrow-right.png"
        pressedOpacity: 0.5
        accessibleName: direction < 0 ? "Scroll left" : "Scroll right"
        // The arrow keys scroll the tiles themselves.
        activeFocusOnTab: false
        enabled: direction < 0 ? Math.round(formatTab.position(view)) !== 0
                               : Math.round(formatTab.position(view)) !== Math.round(formatTab.lastPosition(view))
        onPressStarted: mediaList.clearSelections()
        onClicked: formatTab.stepView(view, direction)
    }

    component TileList: TileGrid {
        x: 6
        y: 37
        width: 368
        height: 120
        flow: GridView.FlowTopToBottom
        clip: true
        snapMode: GridView.SnapToRow
        onMovementStarted: mediaList.clearSelections()
    }

    Item {
        id: firstPage
        anchors { fill: parent; bottomMargin: 72 }
        visible: formatTab.deviceFormatPage

        Heading {
            y: 10
            text: "Devices"
        }

        TileList {
            id: deviceList
            objectName: "deviceList"
            model: deviceModel
            Accessible.role: Accessible.List
            Accessible.name: "Devices"
            delegate: Icon {
                objectName: "deviceTile:" + gIconText
                iconImage: gIconImage
                iconText: gIconText
                selected: Number(gId) === mainPage.formatId
                onClicked: formatTab.addIconsToOutputPage(gId, gIconText, true)
            }
        }

        Arrow {
            objectName: "deviceLeft"
            x: 280
            y: 10
            view: deviceList
            direction: -1
            visible: deviceModel.count > 4
        }

        Arrow {
            objectName: "deviceRight"
            x: 310
            y: 10
            view: deviceList
            visible: deviceModel.count > 4
        }

        Heading {
            y: 150
            text: "Formats"
        }

        // Two rows of tiles, flicked sideways.
        TileGrid {
            id: formatFlickable
            objectName: "formatFlickable"
            x: 6
            y: 170
            width: 368
            height: 200
            flow: GridView.FlowTopToBottom
            clip: true
            model: formatModel
            onMovementStarted: mediaList.clearSelections()
            onMovementEnded: formatTab.snapFormatGrid()
            Accessible.role: Accessible.List
            Accessible.name: "Formats"

            delegate: Icon {
                objectName: "formatTile:" + gIconText
                iconImage: gIconImage
                iconText: gIconText
                selected: Number(gId) === mainPage.formatId
                onClicked: formatTab.addIconsToOutputPage(gId, gIconText, false)
            }
        }

        Arrow {
            objectName: "formatLeft"
            x: 280
            y: 150
            view: formatFlickable
            direction: -1
            visible: formatModel.count > 8
        }

        Arrow {
            objectName: "formatRight"
            x: 310
            y: 150
            view: formatFlickable
            visible: formatModel.count > 8
        }
    }

    Item {
        id: outputPage
        anchors { fill: parent; bottomMargin: 72 }
        visible: !formatTab.deviceFormatPage

        Heading {
            objectName: "outputTitle"
            y: 10
            text: formatTab.secondPageTitle
        }

        TileList {
            id: outputList
            objectName: "outputList"
            model: outputModel
            Accessible.role: Accessible.List
            Accessible.name: formatTab.secondPageTitle
            delegate: Icon {
                objectName: "outputTile:" + gIconText
                iconImage: gIconImage
                iconText: gIconText
                selected: Number(gId) === mainPage.outputId
                onClicked: formatTab.choosePreset(index)
            }
        }

        Arrow {
            objectName: "outputLeft"
            x: 280
            y: 10
            view: outputList
            direction: -1
            visible: outputModel.count > 4
        }

        Arrow {
            objectName: "outputRight"
            x: 310
            y: 10
            view: outputList
            visible: outputModel.count > 4
        }

        Icon {
            id: settingsIcon
            objectName: "settingsIcon"
            anchors { right: parent.right; bottom: parent.bottom; margins: 10 }
            iconImage: "images/icons/settings.png"
            iconText: "Settings"
            selected: settings.visible
            onClicked: settings.visible = !settings.visible
        }

        Rectangle {
            id: settings
            objectName: "settings"
            visible: false
            width: parent.width
            y: outputList.y + outputList.height
            height: settingsIcon.y - y
            color: "#c0c0c0"

            Heading {
                id: settingsHeading
                y: 10
                text: "Settings"
            }

            Text {
                id: argsLabel
                x: 17
                y: settingsHeading.y + settingsHeading.height + 10
                text: "FFmpeg Arguments:"
                font.pixelSize: 11
                color: "black"
            }

            Rectangle {
                id: argsField
                x: argsLabel.x + argsLabel.width + 10
                width: settings.width - 17 - x
                height: 20
                anchors.verticalCenter: argsLabel.verticalCenter
                color: "#555555"
                border.color: "grey"
                border.width: 1
                radius: 5

                TextInput {
                    id: argumentsInput
                    objectName: "argumentsInput"
                    anchors { fill: parent; leftMargin: 5; rightMargin: 5 }
                    verticalAlignment: TextInput.AlignVCenter
                    text: mainPage.ffmpegArgs
                    color: "white"
                    selectionColor: "#888888"
                    font.pixelSize: 11
                    selectByMouse: true
                    clip: true
                    activeFocusOnTab: true
                    Accessible.role: Accessible.EditableText
                    Accessible.name: "FFmpeg Arguments"
                    onActiveFocusChanged: if (activeFocus) mediaList.clearSelections()
                    // A preset's arguments read from their start.
                    onTextChanged: if (!activeFocus) cursorPosition = 0
                    onTextEdited: {
                        mainPage.ffmpegArgs = text
                        outputModel.selectedNumber = -1
                    }
                }

                FocusRing {
                    target: argumentsInput
                }
            }

            Text {
                id: folderLabel
                x: 17
                y: argsLabel.y + argsLabel.height + 20
                text: "Output Folder:"
                font.pixelSize: 11
                color: "black"
            }

            Rectangle {
                id: folderField
                x: argsField.x
                width: argsField.width
                height: 20
                anchors.verticalCenter: folderLabel.verticalCenter
                color: "#555555"
                border.color: "grey"
                border.width: 1
                radius: 5

                Accessible.role: Accessible.Button
                Accessible.name: "Output Folder"
                Accessible.description: mainPage.outPath
                Accessible.onPressAction: formatTab.chooseOutputFolder()
                activeFocusOnTab: true
                Keys.onPressed: (event) => {
                    event.accepted = [Qt.Key_Return, Qt.Key_Enter, Qt.Key_Space].includes(event.key)
                    if (event.accepted)
                        formatTab.chooseOutputFolder()
                }

                TextInput {
                    id: sOutputFolderInput
                    objectName: "sOutputFolderInput"
                    anchors { fill: parent; leftMargin: 5; rightMargin: 5 }
                    verticalAlignment: TextInput.AlignVCenter
                    readOnly: true
                    text: mainPage.outPath
                    color: "white"
                    font.pixelSize: 11
                    clip: true
                    onTextChanged: mainPage.outPath = text
                }

                MouseArea {
                    anchors.fill: parent
                    onClicked: formatTab.chooseOutputFolder()
                }

                FocusRing {}
            }

            CheckBox {
                id: checkSameFolder
                objectName: "checkSameFolder"
                x: argsField.x
                y: folderLabel.y + folderLabel.height + 10
                onToggleRequested: formatTab.toggleSameFolder()

                MouseArea {
                    anchors.fill: parent
                    onClicked: formatTab.toggleSameFolder()
                }
            }

            Text {
                id: jobsLabel
                x: 17
                y: checkSameFolder.y + checkSameFolder.height + 14
                text: "Simultaneous jobs:"
                font.pixelSize: 11
                color: "black"
            }

            // One job after another, or as many at once as suit the output.
            Row {
                x: argsField.x
                anchors.verticalCenter: jobsLabel.verticalCenter
                spacing: 16

                Repeater {
                    model: [{ caption: "1", jobs: 1 }, { caption: "Automatic", jobs: 0 }]

                    CheckBox {
                        objectName: "simultaneous" + modelData.caption
                        text: modelData.caption
                        checked: jobs.simultaneous === modelData.jobs
                        onToggleRequested: jobs.simultaneous = modelData.jobs

                        MouseArea {
                            anchors.fill: parent
                            onClicked: jobs.simultaneous = modelData.jobs
                        }
                    }
                }
            }
        }
    }

    ImageButton {
        objectName: "formatBack"
        anchors { left: parent.left; bottom: parent.bottom; margins: 10 }
        image: "images/backButton.png"
        pressedImage: "images/backButtonClicked.png"
        accessibleName: "Back"
        onPressStarted: mediaList.clearSelections()
        onClicked: {
            if (formatTab.deviceFormatPage)
                idTabs.current = 0
            else
                formatTab.deviceFormatPage = true
        }
    }

    ImageButton {
        objectName: "formatNext"
        anchors { right: parent.right; bottom: parent.bottom; margins: 10 }
        image: "images/nextButton.png"
        pressedImage: "images/nextButtonClicked.png"
        accessibleName: "Next"
        toolTip: "Convert tab (Ctrl+3)"
        onPressStarted: mediaList.clearSelections()
        onClicked: {
            if (mainPage.ffmpegArgs !== "")
                idTabs.current = 2
            else
                mainwnd.warning("You must select an output device or format to proceed!")
        }
    }
}
