import QtQuick

// Where inputs come from: files by kind, an audio CD or a DVD.
Rectangle {
    id: addTab

    property string title
    property string tabImage
    property string tabImageSelected
    property alias addModel: addModel
    readonly property Item firstFocus: addGrid

    function addIconsToAddList() {
        var kinds = mainwnd.getAddModel()
        for (var i = 0; i + 5 < kinds.length; i += 6) {
            addModel.append({ gIconImage: kinds[i + 3], gIconText: kinds[i + 1], gOpenTitle: kinds[i + 4],
                              gOpenFilter: kinds[i + 5], type: "file" })
        }
        addModel.append({ gIconImage: "images/icons/cd.png", gIconText: "CD", gOpenTitle: "",
                          gOpenFilter: "", type: "cd" })
        addModel.append({ gIconImage: "images/icons/dvd-in.png", gIconText: "DVD", gOpenTitle: "",
                          gOpenFilter: "", type: "dvd" })
    }

    color: "#c0c0c0"
    Component.onCompleted: addIconsToAddList()

    ListModel {
        id: addModel
    }

    Text {
        x: 17
        y: 10
        text: "Select type"
        font.pointSize: 13
        color: "black"
        style: Text.Raised
        styleColor: "white"
    }

    TileGrid {
        id: addGrid
        objectName: "addGrid"
        x: 6
        y: 37
        width: 4 * cellWidth
        height: Math.ceil(count / 4) * cellHeight
        interactive: false
        model: addModel
        Accessible.role: Accessible.List
        Accessible.name: "Select type"

        delegate: Icon {
            objectName: "addTile:" + gIconText
            iconImage: gIconImage
            iconText: gIconText
            toolTip: type === "file" ? gOpenTitle + " (Ctrl+O: files of every kind)" : ""
            // The dialogs are modal: the tile stays lit while one is open.
            onClicked: {
                selected = true
                if (type === "file") {
                    mainPage.addFromAddRow(index)
                } else if (type === "cd") {
                    mainwnd.selectCd()
                } else if (type === "dvd") {
                    mainwnd.selectDvd()
                }
                selected = false
            }
        }
    }

    ImageButton {
        objectName: "addNext"
        anchors { right: parent.right; bottom: parent.bottom; margins: 10 }
        image: "images/nextButton.png"
        pressedImage: "images/nextButtonClicked.png"
        accessibleName: "Next"
        toolTip: "Format tab (Ctrl+2)"
        onPressStarted: mediaList.clearSelections()
        onClicked: {
            if (mediaList.mediaListModel.count > 0)
                idTabs.current = 1
            else
                mainwnd.warning("You must have items in the Media List to proceed!")
        }
    }
}
