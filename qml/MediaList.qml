import QtQuick

// The job list: one row per job of the job queue (`jobs.list`), which runs
// them; the rows show it and pass the user's edits and removals on.
Item {
    id: list

    property alias mediaListModel: view.model
    // Kept for the page's callers; the view itself tracks the shift in originY.
    property int addToContentY: 0
    property alias listView: view
    property alias scrollBar: scrollBar
    property alias tipLayer: tipLayer

    readonly property int rowHeight: 107

    // Caption of the chosen preset, for the burner (PAL or NTSC).
    function chosenPresetCaption() {
        var model = formatTab.outputModel
        var row = model.selectedNumber
        if (row >= 0 && row < model.count)
            return model.get(row).gIconText
        for (var i = 0; i < model.count; ++i) {
            if (Number(model.get(i).gOutputId) === mainPage.outputId)
                return model.get(i).gIconText
        }
        // The output page may show another format by now.
        var presets = mainwnd.getOutputModel(String(mainPage.formatId))
        for (var j = 0; j + 8 < presets.length; j += 9) {
            if (Number(presets[j]) === mainPage.outputId)
                return presets[j + 1]
        }
        return ""
    }

    function addFile(inFile, source) {
        jobs.addFiles(inFile, source)
    }

    function addDVD(inFile, length) {
        jobs.addDvd(inFile, length)
    }

    function removeFromList(index) {
        if (index < 0 || index >= mediaListModel.count)
            return
        if (index === 0)
            addToContentY += 109
        if (jobs.isConverting(index)) {
            var id = jobs.list.idAt(index)
            if (!mainwnd.yesno("Are you sure you want to stop this conversion?"))
                return
            // The question runs its own event loop: the job may have ended meanwhile.
            index = jobs.list.rowOf(id)
            if (!jobs.isConverting(index)) {
                mainwnd.warning("Conversion already finished")
                return
            }
        }
        jobs.remove(index)
        if (mediaListModel.count === 0)
            addToContentY = 0
    }

    function clearSelections() {
        jobs.endEdits()
        view.interactive = true
    }

    function thumbnailSource(thumbnail, videoCodec) {
        if (thumbnail === "")
            return videoCodec === "" ? "images/screenshot-audio.png" : "images/screenshot-unknown.png"
        if (thumbnail === "images/burningthumb.png")
            return thumbnail
        return "file:" + encodeURI(thumbnail).replace(/#/g, "%23").replace(/\?/g, "%3F")
    }

    // Holds everything so that hovering anywhere over the list counts.
    MouseArea {
        id: hoverArea
        anchors.fill: parent
        hoverEnabled: true
        onContainsMouseChanged: scrollBar.opacity = containsMouse ? 1 : 0
        onPressed: list.clearSelections()

        ListView {
            id: view
            anchors.fill: parent
            model: jobs.list
            spacing: 2
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            delegate: rowDelegate
            Accessible.role: Accessible.List
            Accessible.name: "Media List"
            // One Tab stop: the arrows move between rows, Delete removes as
            // the row's × does, Return opens a finished row's output, F2
            // renames a waiting one.
            activeFocusOnTab: true
            // Rows added to an empty list leave none current.
            onActiveFocusChanged: if (activeFocus && currentIndex < 0 && count > 0) currentIndex = 0
            Keys.onPressed: (event) => {
                var key = event.key
                event.accepted = currentItem !== null
                                 && [Qt.Key_Delete, Qt.Key_Return, Qt.Key_Enter, Qt.Key_F2].includes(key)
                if (!event.accepted)
                    return
                if (key === Qt.Key_Delete)
                    list.removeFromList(currentIndex)
                else if (key === Qt.Key_F2 && currentItem.nameBox.editable)
                    currentItem.nameBox.startEdit()
                else
                    currentItem.openOutput()
            }
        }

        Image {
            source: "images/fadeTop.png"
            width: view.width
            anchors.top: view.top
            visible: mediaListModel.count > 0 && !view.atYBeginning
        }

        Image {
            source: "images/fadeBottom.png"
            width: view.width
            anchors.bottom: view.bottom
            visible: mediaListModel.count > 0 && !view.atYEnd
        }

        ScrollBar {
            id: scrollBar
            target: view
        }
    }

    Item {
        id: tipLayer
        anchors.fill: parent
        z: 100
    }

    Component {
        id: rowDelegate

        Item {
            id: row

            readonly property bool burn: model.source.startsWith("burn_")
            readonly property string title: model.origFileName !== "" ? model.origFileName : model.fileName
            property alias nameBox: titleBox
            // Room for the scroll bar when it can show.
            readonly property int contentRight: width - (scrollBar.visible ? 34 : 8)

            // A finished row's output, in its folder; a burn's disc.
            function openOutput() {
                if (model.currentStatus !== "complete")
                    return
                if (row.burn)
                    mainwnd.playDisc(model.fileName)
                else
                    mainwnd.openFolder(model.finalOutput)
            }

            objectName: "row" + index
            width: view.width
            height: list.rowHeight
            focus: ListView.isCurrentItem

            // "city clip.mp4, 00:00:07, converting 45 %"; a change of status
            // is a change of name, which screen readers announce.
            Accessible.role: Accessible.ListItem
            Accessible.name: model.accessibleName
            Accessible.focusable: true

            Rectangle {
                anchors.fill: parent
                color: "#eeeeee"
            }

            MouseArea {
                anchors.fill: parent
                onPressed: list.clearSelections()
            }

            Image {
                source: "images/fileBreak.png"
                anchors.horizontalCenter: parent.horizontalCenter
                width: Math.min(360, parent.width - 20)
                y: parent.height
                visible: index < mediaListModel.count - 1
            }

            Column {
                visible: model.loading
                anchors.centerIn: parent
                spacing: 6

                Text {
                    width: row.width - 40
                    text: model.fileName
                    font.bold: true
                    font.pixelSize: 13
                    color: "#222222"
                    elide: Text.ElideMiddle
                    horizontalAlignment: Text.AlignHCenter
                }

                AnimatedImage {
                    anchors.horizontalCenter: parent.horizontalCenter
                    source: "images/loading.gif"
                    playing: model.loading
                }
            }

            Item {
                anchors.fill: parent
                visible: !model.loading

                Image {
                    id: frame
                    x: 8
                    y: (row.height - height) / 2
                    source: "images/fileImage.png"

                    Image {
                        x: 4
                        y: 4
                        width: 88
                        height: 66
                        fillMode: Image.PreserveAspectCrop
                        source: list.thumbnailSource(model.thumbnail, model.videoCodec)
                    }
                }

                Rectangle {
                    id: titleBox

                    readonly property bool editable: model.currentStatus === "wait"
                                                     && !mainPage.conversionInProgress && !row.burn

                    objectName: "title"
                    x: frame.x + frame.width + 10
                    y: 18
                    width: row.contentRight - x - 48
                    height: 25
                    radius: 3
                    color: model.selected ? "#555555" : "transparent"
                    border.color: "grey"
                    border.width: titleArea.containsMouse && !model.selected
                                  && !mainPage.conversionInProgress
                                  && model.currentStatus !== "complete" ? 1 : 0

                    Accessible.role: Accessible.EditableText
                    Accessible.name: "Output name of " + row.title
                    Accessible.description: model.newFileName
                    Accessible.onPressAction: if (editable) titleBox.startEdit()

                    function startEdit() {
                        list.clearSelections()
                        model.selected = true
                        view.interactive = false
                        nameInput.forceActiveFocus()
                        nameInput.selectAll()
                    }

                    Text {
                        anchors { fill: parent; leftMargin: 4; rightMargin: 4 }
                        visible: !model.selected
                        verticalAlignment: Text.AlignVCenter
                        text: model.newFileName
                        font.pixelSize: 16
                        color: "#222222"
                        elide: Text.ElideMiddle
                    }

                    TextInput {
                        id: nameInput
                        objectName: "nameInput"
                        Accessible.name: "Output name of " + row.title
                        anchors { fill: parent; leftMargin: 4; rightMargin: 4 }
                        visible: model.selected
                        verticalAlignment: TextInput.AlignVCenter
                        text: model.newFileName
                        font.pixelSize: 16
                        color: "white"
                        selectionColor: "#3b7fd6"
                        selectedTextColor: "white"
                        selectByMouse: true
                        clip: true
                        onTextChanged: if (model.selected) model.newFileName = text
                        // The keyboard goes back to the list.
                        onAccepted: { list.clearSelections(); row.forceActiveFocus() }
                        Keys.onEscapePressed: { list.clearSelections(); row.forceActiveFocus() }
                    }

                    MouseArea {
                        id: titleArea
                        anchors.fill: parent
                        hoverEnabled: true
                        enabled: !model.selected
                        onClicked: if (titleBox.editable) titleBox.startEdit(); else list.clearSelections()
                    }
                }

                // Codec texts take the room the row has, up to the status at
                // its right, before they are cut; the shorter one first.
                Row {
                    id: info
                    readonly property real room: row.contentRight - x - (model.currentStatus === "wait" ? 0 : 50)
                                                 - durationText.width - 2 * spacing

                    x: titleBox.x + 4
                    y: titleBox.y + titleBox.height + 12
                    spacing: 10

                    Text {
                        id: durationText
                        text: model.duration
                        font.pixelSize: 12
                        color: "#555555"
                        ToolTip { toolTip: "Duration: " + model.duration }
                    }

                    Text {
                        id: videoText
                        width: Math.min(implicitWidth, Math.max(40, info.room - (audioText.visible
                                        ? Math.min(audioText.implicitWidth, info.room / 2) : 0)))
                        visible: model.videoCodec !== ""
                        text: model.videoCodec
                        font.pixelSize: 11
                        color: "#555555"
                        elide: Text.ElideRight
                        ToolTip { toolTip: "Video Codec: " + model.videoCodec }
                    }

                    Text {
                        id: audioText
                        width: Math.min(implicitWidth, Math.max(40, info.room - (videoText.visible ? videoText.width : 0)))
                        visible: model.audioCodec !== ""
                        text: model.audioCodec
                        font.pixelSize: 11
                        color: "#555555"
                        elide: Text.ElideRight
                        ToolTip { toolTip: "Audio Codec: " + model.audioCodec }
                    }
                }

                Text {
                    objectName: "progress"
                    anchors { right: parent.right; rightMargin: parent.width - row.contentRight }
                    y: 40
                    visible: model.currentStatus.slice(-1) === "%"
                    text: model.currentStatus
                    font.pixelSize: 16
                    font.bold: true
                    color: "#333333"
                }

                Text {
                    objectName: "timeLeft"
                    anchors { right: parent.right; rightMargin: parent.width - row.contentRight }
                    y: 62
                    visible: model.timeLeft !== ""
                    text: model.timeLeft + " left"
                    font.pixelSize: 11
                    color: "#555555"
                }

                Image {
                    objectName: "completed"
                    x: row.contentRight - width
                    y: 36
                    source: "images/completed.png"
                    visible: model.currentStatus === "complete"

                    Accessible.role: Accessible.Button
                    Accessible.name: model.openAction
                    Accessible.onPressAction: row.openOutput()

                    ToolTip {
                        id: completedTip
                        toolTip: model.openAction + " (Return)"
                        onActivated: row.openOutput()
                    }
                }

                Image {
                    objectName: "error"
                    x: row.contentRight - width
                    y: 36
                    source: "images/warning.png"
                    visible: model.currentStatus === "error"

                    Accessible.role: Accessible.StaticText
                    Accessible.name: "Error: " + model.errorMsg

                    ToolTip {
                        objectName: "errorTip"
                        toolTip: model.errorMsg
                    }
                }
            }

            FocusRing {
                anchors.margins: 2
            }

            ImageButton {
                objectName: "remove"
                x: row.contentRight - width + 6
                y: 8
                image: "images/remove.png"
                visible: !model.loading && !row.burn
                accessibleName: "Remove " + row.title
                toolTip: "Remove (Delete)"
                // The list's Delete key does this.
                activeFocusOnTab: false
                onClicked: {
                    list.clearSelections()
                    list.removeFromList(index)
                }
            }
        }
    }
}
