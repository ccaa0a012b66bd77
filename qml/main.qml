import QtQuick

// The whole window: title strip, the three tabs and the job list. The page
// owns the run; the backend keeps no list of jobs.
Rectangle {
    id: mainPage

    property string ffmpegArgs: ""
    property string outPath: ""
    property string outExt: ""
    property bool conversionInProgress: false
    property int overallDuration: 0
    property int formatId: 0
    property int outputId: 0
    property string srcTemp: ""
    property string desTemp: ""
    property bool burnOutput: false
    property bool maximized: false
    // The output choice the unfinished jobs convert with, saved with them.
    readonly property var jobSettings: ({ ffmpegArgs: ffmpegArgs, outPath: outPath, outExt: outExt,
                                          formatId: formatId, outputId: outputId, srcTemp: srcTemp,
                                          desTemp: desTemp,
                                          outputSameFolder: formatTab.outputSameFolder.checked })
    onJobSettingsChanged: Qt.callLater(mediaList.saveJobs)

    // Seconds of an "hh:mm:ss" text, NaN when it is not one.
    function parseDuration(text) {
        var m = /^(\d\d):(\d\d):(\d\d)/.exec(String(text))
        if (m === null)
            return NaN
        return 3600 * parseInt(m[1], 10) + 60 * parseInt(m[2], 10) + parseInt(m[3], 10)
    }

    // Seconds a duration adds to the run; a text that is not a time adds none.
    function durationSeconds(text) {
        var seconds = parseDuration(text)
        return isNaN(seconds) ? 0 : seconds
    }

    function updateOverallDuration(mode, amount) {
        if (mode === "add")
            overallDuration += durationSeconds(amount)
        else if (mode === "sub")
            overallDuration -= durationSeconds(amount)
    }

    // Tracks of one rip share an album folder in the music folder.
    function useAlbumFolder(origPathName) {
        var end = origPathName.lastIndexOf(mainwnd.separator)
        var ripFolder = origPathName.substring(Math.max(0, end - 10), end)
        if (ripFolder === srcTemp)
            return
        srcTemp = ripFolder
        var now = new Date()
        desTemp = "Album " + now.getFullYear() + "-" + (now.getMonth() + 1) + "-" + now.getDate()
                + " " + now.getHours() + "-" + now.getMinutes() + "-" + now.getSeconds()
        mainwnd.makeDir(mainwnd.getMusicFolder() + desTemp)
    }

    function outputFileFor(row) {
        var sep = mainwnd.separator
        if (burnOutput)
            return mainwnd.getTempFolder() + desTemp + sep + row.newFileName
        if (formatTab.outputSameFolder.checked) {
            if (row.source === "dvd") {
                // A new account may have no Videos folder yet.
                mainwnd.makeDir(mainwnd.getVideoFolder())
                return mainwnd.getVideoFolder() + row.newFileName
            }
            if (row.source === "cd") {
                useAlbumFolder(row.origPathName)
                return mainwnd.getMusicFolder() + desTemp + sep + row.newFileName
            }
            return row.origPathName + row.newFileName
        }
        return outPath + row.newFileName
    }

    // Processes row `current` of the job list.
    function startNextConversion() {
        var model = mediaList.mediaListModel
        var at = mediaList.current
        if (at >= model.count) {
            conversionInProgress = false
            return
        }
        conversionInProgress = true
        var row = model.get(at)
        if (mediaList.isBurn(row.source) && row.currentStatus === "wait") {
            mainwnd.startBurnDisc(row.source === "burn_dvd" ? "dvd" : "cd", row.fileName, desTemp,
                                  row.finalOutput)
            return
        }
        var removing = false
        for (var i = 0; i < at; ++i) {
            if (model.get(i).currentStatus === "remove")
                removing = true
        }
        if (row.currentStatus !== "complete" && row.currentStatus !== "error" && !removing) {
            var inFile = row.origPathName + row.origFileName
            var outFile = outputFileFor(row)
            var aspect = row.wxh.split(" ")[0]
            mainwnd.startNewConversion(inFile, ffmpegArgs, aspect, outFile, outExt)
        } else if (row.currentStatus === "complete" && !removing) {
            mediaList.completeConversion(true, "", "complete")
        } else if (row.currentStatus === "error") {
            mediaList.completeConversion(false, row.finalOutput, row.errorMsg)
        } else {
            conversionInProgress = false
        }
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

    onConversionInProgressChanged: {
        mediaList.current = 0
        if (!conversionInProgress)
            convertTab.updateOverallProgress(false, 0)
        mediaList.isAllComplete()
    }

    Connections {
        target: mainwnd
        function onFileDropped(file) { mediaList.addFile(file, "file") }
        function onFileInfoReady(fileInfo, fileVideoInfo, fileAudioInfo) {
            mediaList.updateFile(fileInfo, fileVideoInfo, fileAudioInfo)
        }
        function onStartConversion(outFileName) { mediaList.conversionStart(outFileName) }
        function onConversionProgress(time) { mediaList.updateConversionProgress(time) }
        function onConversionComplete(quitOk, finalOutput, errorMsg) {
            mediaList.completeConversion(quitOk, finalOutput, errorMsg)
        }
        function onConversionCancelled() { mediaList.cancelConversion() }
        function onAddAudioFile() { mainPage.addFromAddRow(0) }
        function onAddVideoFile() { mainPage.addFromAddRow(1) }
        function onAddAudioCD(filename) { mediaList.addFile(filename, "cd") }
        function onAddDVD(filename, length) { mediaList.addDVD(filename, length) }
        function onBurnProgress(progress) { mediaList.burnProgress(progress) }
        function onBurnTextStatus(status) { mediaList.burnTextStatus(status) }
        function onBurnEstTime(time) { mediaList.burnEstTime(time) }
    }

    Connections {
        target: jobStore
        function onRestore(jobs, settings) { mediaList.restoreJobs(jobs, settings) }
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

        Repeater {
            model: ["File", "Help"]

            Text {
                objectName: "menu" + modelData
                text: modelData
                font.pixelSize: 13
                color: menuArea.containsMouse ? "#000000" : "#333333"

                Accessible.role: Accessible.ButtonMenu
                Accessible.name: modelData
                Accessible.onPressAction: mainwnd.showMenu(index, menus.x + x + 5)

                MouseArea {
                    id: menuArea
                    anchors.fill: parent
                    anchors.margins: -3
                    hoverEnabled: true
                    onClicked: {
                        mediaList.clearSelections()
                        mainwnd.showMenu(index, menus.x + parent.x + 5)
                    }
                }
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
