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
        height: progress.height + 30 + convertButton.height + 15 + clearCompleted.height

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

        Item {
            id: clearCompleted
            objectName: "clearCompleted"
            anchors.horizontalCenter: parent.horizontalCenter
            y: convertButton.y + convertButton.height + 15
            width: clearRow.width
            height: clearRow.height
            opacity: jobs.anyFinished ? 1.0 : 0.2

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
