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
    readonly property Item firstFocus: convertButton.visible ? convertButton : cancelButton

    function convert() {
        var kind = jobs.burnKind(mainPage.formatId)
        var drive = ""
        // A burn that came back after a crash goes on to the drive it had.
        if (kind !== "" && !jobs.burnWaiting(kind)) {
            drive = mainwnd.selectBurnDisc(kind, mainPage.overallDuration)
            if (drive === "")
                return
        }
        mainwnd.incrementCount(mainPage.formatId, mainPage.outputId)
        mainPage.startNextConversion(drive)
    }

    function cancelWholeConversion() {
        if (!mainwnd.yesno("Are you sure you want to cancel the current conversion?"))
            return false
        jobs.cancel()
        return true
    }

    function clearCompletedRows() {
        mediaList.clearSelections()
        jobs.clearFinished()
    }

    color: "#c0c0c0"

    Item {
        anchors.centerIn: parent
        width: progress.width
        height: progress.height + 30 + convertButton.height + 15 + clearCompleted.height + 14 + outputLine.height

        ProgressBar {
            id: progress
            objectName: "overallProgress"
            value: convertTab.currentOverallProgress
        }

        Text {
            objectName: "runTimeLeft"
            anchors { horizontalCenter: parent.horizontalCenter; top: progress.bottom; topMargin: 6 }
            visible: mainPage.conversionInProgress && jobs.timeLeft !== ""
            text: "Time left: " + jobs.timeLeft
            font.pixelSize: 12
            color: "black"
            Accessible.role: Accessible.StaticText
            Accessible.name: text
        }

        ImageButton {
            id: convertButton
            objectName: "convertButton"
            anchors.horizontalCenter: parent.horizontalCenter
            y: progress.height + 30
            image: "images/convert-button.png"
            pressedImage: "images/convert-button-clicked.png"
            accessibleName: "Convert"
            toolTip: "Convert the waiting jobs (Ctrl+Return)"
            visible: !mainPage.conversionInProgress
            enabled: jobs.anyToConvert
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

        // Dimmed while nothing is finished; its caption stays legible.
        Item {
            id: clearCompleted
            objectName: "clearCompleted"
            anchors.horizontalCenter: parent.horizontalCenter
            y: convertButton.y + convertButton.height + 15
            width: clearRow.width
            height: clearRow.height
            enabled: jobs.anyFinished
            activeFocusOnTab: true
            Keys.onPressed: (event) => {
                event.accepted = [Qt.Key_Return, Qt.Key_Enter, Qt.Key_Space].includes(event.key)
                if (event.accepted)
                    convertTab.clearCompletedRows()
            }

            Accessible.role: Accessible.Button
            Accessible.name: "Clear Completed"
            Accessible.onPressAction: if (enabled) convertTab.clearCompletedRows()

            Row {
                id: clearRow
                spacing: 5

                Image {
                    source: "images/remove.png"
                    opacity: clearCompleted.enabled ? 1.0 : 0.2

                    Behavior on opacity {
                        objectName: "clearCompletedFade"
                        NumberAnimation { duration: 1000 }
                    }
                }

                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "Clear Completed"
                    color: clearCompleted.enabled ? "#000000" : "#333333"
                    font.pixelSize: 13
                    font.bold: clearCompleted.enabled
                }
            }

            MouseArea {
                anchors.fill: parent
                onClicked: convertTab.clearCompletedRows()
            }

            FocusRing {}
        }

        // Where the outputs go (or went).
        Text {
            id: outputLine
            objectName: "outputLine"
            anchors { horizontalCenter: parent.horizontalCenter; top: clearCompleted.bottom; topMargin: 14 }
            width: convertTab.width - 34
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: jobs.outputDescription
            font.pixelSize: 12
            color: "#000000"
            Accessible.role: Accessible.StaticText
            Accessible.name: text
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
