import QtQuick
import QtTest

PageCase {
    name: "FormatTab"

    // Flat catalogue lists: 7 strings per device or format, 9 per preset.
    function flat(count, row) {
        return [].concat(...Array.from({ length: count }, (_, i) => row(i)))
    }

    function makeFormatPage(devices, formats) {
        makePage(function (b) {
            var icon = "images/icons/audio.png"
            b.deviceModel = flat(devices, i => [String(101 + i), "Player" + (i + 1), "", icon, "1", "0", ""])
            b.formatModel = flat(formats, i => [String(1 + i), "MP" + (i + 1), "", icon, "0", "0", ""])
            var presets = n => flat(n, i => [String(i + 11), "Preset " + (i + 1), "", "images/icons/settings.png",
                                             "ext" + i, "0", "", "", "-preset " + i])
            b.outputModels = { "1": presets(3), "101": presets(2) }
        })
        addJobs(["wait"])
        tabs.current = 1
        // Lists lay out their tiles once shown.
        waitForRendering(formatTab)
    }

    // A tile opens its presets ("… Quality" for a format); a preset click sets
    // the five values; edited arguments are no preset's; another page forgets
    // the tile, not the choice; Back goes a page back, then to Add.
    function test_pages_data() {
        return [
            { tag: "format", tile: "formatTile:MP1", id: "1", title: "MP1 Quality", presets: 3, other: "101" },
            { tag: "device", tile: "deviceTile:Player1", id: "101", title: "Player1", presets: 2, other: "1" }
        ]
    }

    function test_pages(data) {
        makeFormatPage(2, 2)
        clickTile(data.tile)
        compare([formatTab.deviceFormatPage, formatTab.secondPageTitle, backend.last("getOutputModel"),
                 formatTab.outputModel.count], [false, data.title, [data.id], data.presets])
        var preset = formatTab.outputModel.get(1)
        compare([preset.gFormatId, preset.gOutputId, preset.gIconText, preset.gArgList, preset.gAssociatedExt,
                 preset.gId], [data.id, "12", "Preset 2", "-preset 1", "ext1", "12"])
        clickTile("outputTile:Preset 2")
        compare([page.ffmpegArgs, page.outExt, formatTab.outputSelected, page.formatId, page.outputId],
                ["-preset 1", "ext1", 1, Number(data.id), 12])
        verify(findChild(page, "outputTile:Preset 2").selected && findChild(page, data.tile).selected)
        clickTile("settingsIcon")
        mouseClick(findChild(page, "argumentsInput"))
        keyClick(Qt.Key_End)
        keyClick("x")
        compare([page.ffmpegArgs, page.outExt, formatTab.outputSelected, page.formatId, page.outputId],
                ["-preset 1x", "ext1", -1, Number(data.id), 12])
        formatTab.choosePreset(0)
        formatTab.addIconsToOutputPage(data.other, "Other", true)
        compare([formatTab.outputSelected, page.ffmpegArgs], [-1, "-preset 0"])
        mouseClick(findChild(page, "formatBack"))
        verify(formatTab.deviceFormatPage)
        mouseClick(findChild(page, "formatBack"))
        compare(tabs.current, 0)
    }

    function test_outputFolder_data() {
        return [
            { tag: "unchecked, cancelled", clicks: ["box"], answers: [""], checked: true, outPath: "" },
            { tag: "unchecked, chosen", clicks: ["box"], answers: ["/out"], checked: false, outPath: "/out/" },
            { tag: "field while checked", clicks: ["field"], answers: [], checked: true, outPath: "" },
            { tag: "field to another", clicks: ["box", "field"], answers: ["/a", "/b/"], checked: false,
              outPath: "/b/" },
            { tag: "field cancelled", clicks: ["box", "field"], answers: ["/a", ""], checked: false, outPath: "/a/" },
            { tag: "checked again clears", clicks: ["box", "box"], answers: ["/out"], checked: true, outPath: "" }
        ]
    }

    function test_outputFolder(data) {
        makeFormatPage(1, 1)
        formatTab.addIconsToOutputPage("1", "MP1", false)
        clickTile("settingsIcon")
        backend.folderAnswers = data.answers.slice()
        for (var click of data.clicks)
            mouseClick(findChild(page, click === "box" ? "checkSameFolder" : "sOutputFolderInput"))
        compare([formatTab.outputSameFolder.checked, page.outPath, findChild(page, "sOutputFolderInput").text,
                 backend.count("openOutputFolder")], [data.checked, data.outPath, data.outPath, data.answers.length])
    }

    // Arrows show past 4 devices or 8 formats and step a tile at a time.
    function test_arrows_data() {
        return [
            { tag: "4 devices", devices: 4, formats: 2, arrows: "device", steps: [] },
            { tag: "7 devices", devices: 7, formats: 2, arrows: "device", steps: [92, 184, 276, 276] },
            { tag: "8 formats", devices: 1, formats: 8, arrows: "format", steps: [] },
            { tag: "12 formats", devices: 1, formats: 12, arrows: "format", steps: [92, 184, 184] }
        ]
    }

    function test_arrows(data) {
        makeFormatPage(data.devices, data.formats)
        var left = findChild(page, data.arrows + "Left")
        var right = findChild(page, data.arrows + "Right")
        var view = findChild(page, data.arrows === "device" ? "deviceList" : "formatFlickable")
        var shown = data.steps.length > 0
        compare([left.visible, right.visible, left.enabled], [shown, shown, false])
        for (var step of data.steps) {
            mouseClick(right)
            tryCompare(view, "contentX", step)
        }
        if (!shown)
            return
        verify(!right.enabled && left.enabled)
        mouseClick(left)
        tryCompare(view, "contentX", data.steps[data.steps.length - 1] - 92)
        verify(right.enabled)
    }

    function test_snapFormatGrid_data() {
        return [
            { tag: "140 forward", at: 140, to: 184 },
            { tag: "130 back", at: 130, to: 92 },
            { tag: "46 back", at: 46, to: 0 },
            { tag: "47 forward", at: 47, to: 92 }
        ]
    }

    function test_snapFormatGrid(data) {
        makeFormatPage(1, 12)
        var grid = findChild(page, "formatFlickable")
        grid.contentX = data.at
        formatTab.snapFormatGrid()
        tryCompare(grid, "contentX", data.to)
    }
}
