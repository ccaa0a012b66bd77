import QtQuick

// The job list: one row per job. Rows run strictly in order, one at a time;
// the page starts each job and the backend's reports move the queue on.
Item {
    id: list

    property alias mediaListModel: mediaListModel
    // Row being processed.
    property int current: 0
    // Kept for the page's callers; the view itself tracks the shift in originY.
    property int addToContentY: 0
    property alias listView: view
    property alias scrollBar: scrollBar
    property alias tipLayer: tipLayer

    readonly property int rowHeight: 107
    // What a job needs to come back after a crash.
    readonly property var savedRoles: ["fileName", "loading", "origFileName", "newFileName", "origPathName",
                                       "duration", "videoCodec", "audioCodec", "wxh", "thumbnail",
                                       "finalOutput", "source"]

    onCurrentChanged: Qt.callLater(saveJobs)

    function isBurn(source) {
        return source === "burn_dvd" || source === "burn_cd"
    }

    // Text before the last dot; a name without one is its own base name.
    function baseName(name) {
        var dot = name.lastIndexOf(".")
        return dot < 0 ? name : name.substring(0, dot)
    }

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

    function appendRow(path, source, length) {
        mediaListModel.append({
            fileName: path,
            loading: true,
            currentStatus: "wait",
            origFileName: "",
            newFileName: "",
            origPathName: "",
            duration: length,
            videoCodec: "",
            audioCodec: "",
            wxh: "",
            thumbnail: "",
            finalOutput: "",
            errorMsg: "",
            selected: false,
            source: source
        })
    }

    // Each row is probed at once; answers come back in request order.
    function addRows(inFile, source, length) {
        for (var i = 0; i < inFile.length; ++i) {
            appendRow(inFile[i], source, length)
            mainwnd.getFileInfo(inFile[i])
        }
    }

    function addFile(inFile, source) {
        addRows(inFile, source, "")
    }

    function addDVD(inFile, length) {
        addRows(inFile, "dvd", length)
    }

    // What a burn row shows until its burn begins.
    readonly property var burnWaiting: ({ newFileName: "Burning Phase", duration: "Waiting to burn..." })

    function addBurn(source, drive) {
        appendRow(drive, source, burnWaiting.duration)
        var at = mediaListModel.count - 1
        mediaListModel.setProperty(at, "newFileName", burnWaiting.newFileName)
        mediaListModel.setProperty(at, "thumbnail", "images/burningthumb.png")
        mediaListModel.setProperty(at, "finalOutput", chosenPresetCaption())
        mainPage.updateOverallDuration("add", "00:10:00")
        mediaListModel.setProperty(at, "loading", false)
    }

    // Probe answers come in request order: each fills the oldest loading row.
    function updateFile(fileInfo, fileVideoInfo, fileAudioInfo) {
        var at = -1
        for (var i = 0; i < mediaListModel.count; ++i) {
            if (mediaListModel.get(i).loading) {
                at = i
                break
            }
        }
        if (at < 0)
            return
        if (fileVideoInfo.length === 0 && fileAudioInfo.length === 0) {
            removeFromList(at)
            mainwnd.warning("FFmpeg is unable to extract any valid video or audio stream from the input file "
                            + fileInfo[0] + ".\n\nThis file has NOT been added to the Media List.")
            return
        }
        var row = mediaListModel.get(at)
        mediaListModel.setProperty(at, "origFileName", fileInfo[0])
        mediaListModel.setProperty(at, "origPathName", fileInfo[1])
        mediaListModel.setProperty(at, "newFileName", fileInfo[2])
        if (row.source !== "dvd")
            mediaListModel.setProperty(at, "duration", fileInfo[3])
        mediaListModel.setProperty(at, "thumbnail", fileInfo[4] === undefined ? "" : fileInfo[4])
        if (fileVideoInfo.length > 0) {
            mediaListModel.setProperty(at, "videoCodec", fileVideoInfo[0])
            mediaListModel.setProperty(at, "wxh", fileVideoInfo[2] || "")
        }
        if (fileAudioInfo.length > 0)
            mediaListModel.setProperty(at, "audioCodec", fileAudioInfo[0])
        mediaListModel.setProperty(at, "loading", false)
        mainPage.updateOverallDuration("add", mediaListModel.get(at).duration)
        convertTab.convertButton.enabled = true
    }

    // Seconds of work a row adds to the run; a burn counts ten minutes.
    function rowWork(row) {
        return isBurn(row.source) ? mainPage.durationSeconds("00:10:00")
                                  : mainPage.durationSeconds(row.duration)
    }

    // A row's thumbnail file and its share of the run's total. A row still
    // loading has not been counted yet.
    function releaseRow(index) {
        var row = mediaListModel.get(index)
        if (row.thumbnail !== "" && !isBurn(row.source))
            mainwnd.removeFile(row.thumbnail)
        if (!row.loading)
            mainPage.overallDuration -= rowWork(row)
    }

    function dropRow(index) {
        releaseRow(index)
        mediaListModel.remove(index)
        if (mediaListModel.count === 0)
            idTabs.current = 0
    }

    function anyComplete() {
        for (var i = 0; i < mediaListModel.count; ++i) {
            if (mediaListModel.get(i).currentStatus === "complete")
                return true
        }
        return false
    }

    function removeFromList(index) {
        if (index < 0 || index >= mediaListModel.count)
            return
        if (index === 0)
            addToContentY += 109
        if (!mainPage.conversionInProgress || index > current) {
            dropRow(index)
        } else if (index < current) {
            dropRow(index)
            current -= 1
        } else if (mainwnd.yesno("Are you sure you want to stop this conversion?")) {
            // The question runs its own event loop: the job may have ended
            // meanwhile, and with it the whole run.
            if (mainPage.conversionInProgress && index === current) {
                releaseRow(index)
                mediaListModel.setProperty(index, "currentStatus", "remove")
                mainwnd.stopConversion()
            } else {
                mainwnd.warning("Conversion already finished")
            }
        }
        if (!anyComplete())
            convertTab.clearCompleted.opacity = 0.2
        if (mediaListModel.count === 0)
            addToContentY = 0
    }

    function runningRow() {
        if (!mainPage.conversionInProgress || current >= mediaListModel.count)
            return null
        return mediaListModel.get(current)
    }

    function conversionStart(outFileName) {
        var row = runningRow()
        if (row === null || row.currentStatus === "remove")
            return
        mediaListModel.setProperty(current, "newFileName", outFileName)
    }

    function updateConversionProgress(time) {
        var row = runningRow()
        // Reports still on their way from a job being removed are dropped.
        if (row === null || row.currentStatus === "remove")
            return
        var pcComplete = Math.floor(time / mainPage.parseDuration(row.duration) * 100)
        if (isNaN(pcComplete))
            pcComplete = 0
        if (pcComplete > 100)
            pcComplete = 100
        mediaListModel.setProperty(current, "currentStatus", pcComplete + "%")
        convertTab.updateOverallProgress(true, time)
    }

    function completeConversion(quitOk, finalOutput, errorMsg) {
        var row = runningRow()
        if (row === null)
            return
        // The job ended before it noticed the stop: the removal still stands,
        // and a staged output must not reach the disc. (A failed job's output
        // is gone already: the runner removes what it wrote.)
        if (row.currentStatus === "remove") {
            if (quitOk)
                mainwnd.removeFile(finalOutput)
            cancelConversion()
            return
        }
        convertTab.clearCompleted.opacity = 1.0
        if (quitOk) {
            mediaListModel.setProperty(current, "currentStatus", "complete")
        } else {
            mediaListModel.setProperty(current, "currentStatus", "error")
            mediaListModel.setProperty(current, "errorMsg", errorMsg)
        }
        if (errorMsg !== "complete")
            mediaListModel.setProperty(current, "finalOutput", finalOutput)
        current += 1
        if (current < mediaListModel.count) {
            mainPage.startNextConversion()
        } else {
            mainPage.conversionInProgress = false
            convertTab.updateOverallProgress(true, mainPage.overallDuration)
        }
    }

    function cancelConversion() {
        if (current >= mediaListModel.count || mediaListModel.get(current).currentStatus !== "remove")
            return
        mediaListModel.remove(current)
        if (mediaListModel.count === 0) {
            idTabs.current = 0
            mainPage.conversionInProgress = false
        } else if (current < mediaListModel.count) {
            mainPage.startNextConversion()
        } else {
            mainPage.conversionInProgress = false
        }
    }

    function burnProgress(progress) {
        if (runningRow() === null)
            return
        mediaListModel.setProperty(current, "currentStatus", progress + "%")
        convertTab.updateOverallProgress(true, progress / 100 * 600)
    }

    function burnTextStatus(status) {
        if (runningRow() !== null)
            mediaListModel.setProperty(current, "newFileName", status)
    }

    function burnEstTime(time) {
        if (runningRow() !== null)
            mediaListModel.setProperty(current, "duration", time)
    }

    // Every row still to do goes to the store as the list changes, so the
    // next start can bring them back if this one never closes.
    function saveJobs() {
        var jobs = []
        for (var i = 0; i < mediaListModel.count; ++i) {
            var row = mediaListModel.get(i)
            if (["complete", "error", "remove"].indexOf(row.currentStatus) >= 0)
                continue
            var job = { running: mainPage.conversionInProgress && i === current }
            for (var role of savedRoles)
                job[role] = row[role]
            // A burn cut off comes back as it was before it began.
            if (isBurn(row.source))
                Object.assign(job, burnWaiting)
            jobs.push(job)
        }
        jobStore.save(jobs, mainPage.jobSettings)
    }

    // Saved jobs come back as waiting rows with the choice they had.
    function restoreJobs(jobs, settings) {
        for (var name of ["ffmpegArgs", "outPath", "outExt", "srcTemp", "desTemp"])
            mainPage[name] = String(settings[name] || "")
        mainPage.formatId = Number(settings.formatId) || 0
        mainPage.outputId = Number(settings.outputId) || 0
        formatTab.outputSameFolder.checked = settings.outputSameFolder !== false
        for (var job of jobs) {
            // A row the probe had not answered yet is simply probed again.
            if (job.loading) {
                addRows([String(job.fileName)], String(job.source), job.source === "dvd" ? String(job.duration) : "")
                continue
            }
            appendRow("", "", "")
            var at = mediaListModel.count - 1
            for (var role of savedRoles) {
                if (typeof job[role] === "string")
                    mediaListModel.setProperty(at, role, job[role])
            }
            mediaListModel.setProperty(at, "loading", false)
            mainPage.overallDuration += rowWork(mediaListModel.get(at))
            convertTab.convertButton.enabled = true
        }
    }

    // A burn row that came back with its staging folder, waiting for its run.
    function waitingBurn() {
        for (var i = 0; i < mediaListModel.count; ++i) {
            var row = mediaListModel.get(i)
            if (isBurn(row.source) && row.currentStatus === "wait")
                return i
        }
        return -1
    }

    function clearSelections() {
        for (var i = 0; i < mediaListModel.count; ++i) {
            var row = mediaListModel.get(i)
            if (!row.selected)
                continue
            mediaListModel.setProperty(i, "selected", false)
            // An output can't be named by nothing.
            if (row.newFileName.trim() === "")
                mediaListModel.setProperty(i, "newFileName", baseName(row.origFileName))
        }
        view.interactive = true
    }

    function isAllComplete() {
        for (var i = 0; i < mediaListModel.count; ++i) {
            var status = mediaListModel.get(i).currentStatus
            if (status !== "complete" && status !== "error")
                return false
        }
        convertTab.convertButton.enabled = false
        return true
    }

    function thumbnailSource(thumbnail, videoCodec) {
        if (thumbnail === "")
            return videoCodec === "" ? "images/screenshot-audio.png" : "images/screenshot-unknown.png"
        if (thumbnail === "images/burningthumb.png")
            return thumbnail
        return "file:" + encodeURI(thumbnail).replace(/#/g, "%23").replace(/\?/g, "%3F")
    }

    ListModel {
        id: mediaListModel
    }

    Connections {
        target: mediaListModel
        function onCountChanged() { Qt.callLater(list.saveJobs) }
        function onDataChanged() { Qt.callLater(list.saveJobs) }
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
            model: mediaListModel
            spacing: 2
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            delegate: rowDelegate
            Accessible.role: Accessible.List
            Accessible.name: "Media List"
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

            readonly property bool burn: list.isBurn(model.source)
            readonly property string title: model.origFileName !== "" ? model.origFileName : model.fileName
            // Room for the scroll bar when it can show.
            readonly property int contentRight: width - (scrollBar.visible ? 34 : 8)

            objectName: "row" + index
            width: view.width
            height: list.rowHeight

            Accessible.role: Accessible.ListItem
            Accessible.name: title

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
                        mediaListModel.setProperty(index, "selected", true)
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
                        onTextChanged: if (model.selected) mediaListModel.setProperty(index, "newFileName", text)
                        onAccepted: list.clearSelections()
                        Keys.onEscapePressed: list.clearSelections()
                    }

                    MouseArea {
                        id: titleArea
                        anchors.fill: parent
                        hoverEnabled: true
                        enabled: !model.selected
                        onClicked: if (titleBox.editable) titleBox.startEdit(); else list.clearSelections()
                    }
                }

                Row {
                    x: titleBox.x + 4
                    y: titleBox.y + titleBox.height + 12
                    spacing: 10

                    Text {
                        text: model.duration
                        font.pixelSize: 12
                        color: "#555555"
                        ToolTip { toolTip: "Duration: " + model.duration }
                    }

                    Text {
                        width: 40
                        visible: model.videoCodec !== ""
                        text: model.videoCodec
                        font.pixelSize: 11
                        color: "#555555"
                        elide: Text.ElideRight
                        ToolTip { toolTip: "Video Codec: " + model.videoCodec }
                    }

                    Text {
                        width: 40
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

                Image {
                    objectName: "completed"
                    x: row.contentRight - width
                    y: 36
                    source: "images/completed.png"
                    visible: model.currentStatus === "complete"

                    Accessible.role: Accessible.Button
                    Accessible.name: row.burn ? "Play Disc" : "Open Containing Folder"
                    Accessible.onPressAction: completedTip.activated()

                    ToolTip {
                        id: completedTip
                        toolTip: row.burn ? "Play Disc" : "Open Containing Folder"
                        onActivated: {
                            if (row.burn)
                                mainwnd.playDisc(model.fileName)
                            else
                                mainwnd.openFolder(model.finalOutput)
                        }
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

            ImageButton {
                objectName: "remove"
                x: row.contentRight - width + 6
                y: 8
                image: "images/remove.png"
                visible: !model.loading && !row.burn
                accessibleName: "Remove " + row.title
                onClicked: {
                    list.clearSelections()
                    list.removeFromList(index)
                }
            }
        }
    }
}
