import QtQuick

// Overall progress, Convert and Cancel, Clear Completed, and the burn set-up.
Rectangle {
    id: convertTab

    property string title
    property string tabImage
    property string tabImageSelected
    property int currentOverallProgress: 0
    property alias clearCompleted: clearCompleted
    property alias convertButton: convertButton
    property alias cancelButton: cancelButton

    // Seconds done: whole rows before the running one plus what the running
    // one reports, over the run's total.
    function updateOverallProgress(running, currentProgress) {
        if (currentProgress === 0 && !running) {
            currentOverallProgress = 0
            return
        }
        var model = mediaList.mediaListModel
        var done = currentProgress
        for (var i = 0; i < mediaList.current && i < model.count; ++i)
            done += mediaList.rowWork(model.get(i))
        var total = mainPage.overallDuration
        currentOverallProgress = total > 0 ? Math.floor(Math.max(0, Math.min(100, done / total * 100))) : 0
    }

    function convert() {
        mainPage.burnOutput = false
        mediaList.current = 0
        var burnKind = mainPage.formatId === 7 ? "burn_dvd" : mainPage.formatId === 36 ? "burn_cd" : ""
        var restored = mediaList.waitingBurn()
        if (restored >= 0) {
            // A burn row brought back after a crash: its run goes on into the
            // same staging folder when the disc kind is still the same.
            var model = mediaList.mediaListModel
            if (model.get(restored).source === burnKind) {
                mainPage.burnOutput = true
                model.move(restored, model.count - 1, 1)
            } else {
                mediaList.dropRow(restored)
                restored = -1
            }
        }
        if (burnKind !== "" && restored < 0) {
            var dvd = mainPage.formatId === 7
            mainPage.burnOutput = true
            mainPage.desTemp = String(Math.floor(Math.random() * 1000000000))
            mainwnd.makeDir(mainwnd.getTempFolder() + mainPage.desTemp)
            var drive = mainwnd.selectBurnDisc(dvd ? "dvd" : "cd", mainPage.overallDuration)
            if (drive === "")
                return
            mediaList.addBurn(dvd ? "burn_dvd" : "burn_cd", drive)
        }
        mainwnd.incrementCount(mainPage.formatId, mainPage.outputId)
        mainPage.startNextConversion()
    }

    function cancelWholeConversion() {
        if (!mainwnd.yesno("Are you sure you want to cancel the current conversion?"))
            return false
        mainwnd.stopConversion()
        var model = mediaList.mediaListModel
        var at = mediaList.current
        if (at < model.count && model.get(at).currentStatus !== "complete") {
            model.setProperty(at, "currentStatus", "wait")
            model.setProperty(at, "newFileName", mediaList.baseName(model.get(at).origFileName))
        }
        for (var i = model.count - 1; i >= at; --i) {
            if (mediaList.isBurn(model.get(i).source)) {
                // Its ten minutes leave the run's total with it.
                mainPage.overallDuration -= mediaList.rowWork(model.get(i))
                model.remove(i)
            }
        }
        mainPage.conversionInProgress = false
        return true
    }

    function clearCompletedRows() {
        mediaList.clearSelections()
        clearCompleted.opacity = 0.2
        var model = mediaList.mediaListModel
        for (var i = model.count - 1; i >= 0; --i) {
            var status = model.get(i).currentStatus
            if (status === "complete" || status === "error")
                mediaList.removeFromList(i)
        }
    }

    color: "#c0c0c0"

    Item {
        anchors.centerIn: parent
        width: progress.width
        height: progress.height + 30 + convertButton.height + 15 + clearCompleted.height

        ProgressBar {
            id: progress
            objectName: "overallProgress"
            value: convertTab.currentOverallProgress
        }

        ImageButton {
            id: convertButton
            objectName: "convertButton"
            anchors.horizontalCenter: parent.horizontalCenter
            y: progress.height + 30
            image: "images/convert-button.png"
            pressedImage: "images/convert-button-clicked.png"
            accessibleName: "Convert"
            visible: !mainPage.conversionInProgress
            enabled: false
            onPressStarted: mediaList.clearSelections()
            onClicked: convertTab.convert()
        }

        ImageButton {
            id: cancelButton
            objectName: "cancelButton"
            anchors.horizontalCenter: parent.horizontalCenter
            y: convertButton.y
            image: "images/cancel-button.png"
            pressedImage: "images/cancel-button-clicked.png"
            accessibleName: "Cancel"
            visible: mainPage.conversionInProgress
            onPressStarted: mediaList.clearSelections()
            onClicked: convertTab.cancelWholeConversion()
        }

        Item {
            id: clearCompleted
            objectName: "clearCompleted"
            anchors.horizontalCenter: parent.horizontalCenter
            y: convertButton.y + convertButton.height + 15
            width: clearRow.width
            height: clearRow.height
            opacity: 0.2

            Accessible.role: Accessible.Button
            Accessible.name: "Clear Completed"
            Accessible.onPressAction: convertTab.clearCompletedRows()

            Behavior on opacity {
                objectName: "clearCompletedFade"
                NumberAnimation { duration: 1000 }
            }

            Row {
                id: clearRow
                spacing: 5

                Image {
                    source: "images/remove.png"
                }

                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "Clear Completed"
                    color: "white"
                    style: Text.Raised
                    styleColor: "black"
                    font.pixelSize: 13
                }
            }

            MouseArea {
                anchors.fill: parent
                onClicked: convertTab.clearCompletedRows()
            }
        }
    }

    ImageButton {
        objectName: "convertBack"
        anchors { left: parent.left; bottom: parent.bottom; margins: 10 }
        image: "images/backButton.png"
        pressedImage: "images/backButtonClicked.png"
        accessibleName: "Back"
        onPressStarted: mediaList.clearSelections()
        onClicked: {
            if (!mainPage.conversionInProgress || convertTab.cancelWholeConversion())
                idTabs.current = 1
        }
    }
}
