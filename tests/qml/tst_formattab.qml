import QtQuick
import QtTest

PageCase {
    name: "FormatTab"

    // Flat catalogue rows: 7 strings per device or format.
    function catalogueRows(prefix, count, device) {
        var rows = []
        for (var i = 0; i < count; ++i)
            rows.push(String(100 * device + i + 1), prefix + (i + 1), "", "images/icons/audio.png",
                      String(device), "0", String(i))
        return rows
    }

    function presetRows(count) {
        var rows = []
        for (var i = 0; i < count; ++i)
            rows.push(String(i + 11), "Preset " + (i + 1), "", "images/icons/settings.png", "ext" + i, "0",
                      String(i), "", "-preset " + i)
        return rows
    }

    function makeFormatPage(devices, formats, presets) {
        makePage(function (b) {
            b.deviceModel = catalogueRows("Player", devices, 1)
            b.formatModel = catalogueRows("MP", formats, 0)
            b.outputModels = { "1": presetRows(presets), "101": presetRows(2) }
        })
        addJobs(["wait"])
        tabs.current = 1
        // Lists lay out their tiles once shown.
        waitForRendering(formatTab)
    }

    function test_outputPage_data() {
        return [
            { tag: "format", tile: "formatTile:MP1", id: "1", title: "MP1 Quality", presets: 3 },
            { tag: "device", tile: "deviceTile:Player1", id: "101", title: "Player1", presets: 2 }
        ]
    }

    function test_outputPage(data) {
        makeFormatPage(2, 2, 3)
        mouseClick(findChild(page, data.tile), 46, 30)
        verify(!formatTab.deviceFormatPage)
        compare(formatTab.secondPageTitle, data.title)
        compare(backend.lastCall("getOutputModel").args, [data.id])
        compare(formatTab.outputModel.count, data.presets)
        var preset = formatTab.outputModel.get(1)
        compare([preset.gFormatId, preset.gOutputId, preset.gIconText, preset.gArgList, preset.gAssociatedExt,
                 preset.gId], [data.id, "12", "Preset 2", "-preset 1", "ext1", "12"])
        compare(formatTab.outputSelected, -1)

        mouseClick(findChild(page, "formatBack"))
        verify(formatTab.deviceFormatPage)
        mouseClick(findChild(page, "formatBack"))
        compare(tabs.current, 0)
    }

    function test_presetChoice() {
        makeFormatPage(1, 1, 3)
        formatTab.addIconsToOutputPage("1", "MP1", false)
        var tile = findChild(page, "outputTile:Preset 2")
        mouseClick(tile, 46, 30)
        compare([page.ffmpegArgs, page.outExt, formatTab.outputSelected, page.formatId, page.outputId],
                ["-preset 1", "ext1", 1, 1, 12])
        verify(tile.selected)
        verify(findChild(page, "formatTile:MP1").selected)

        // Another visit keeps the choice and highlights it again.
        formatTab.addIconsToOutputPage("101", "Player1", true)
        compare(page.ffmpegArgs, "-preset 1")
        formatTab.addIconsToOutputPage("1", "MP1", false)
        verify(findChild(page, "outputTile:Preset 2").selected)
    }

    function test_editingArguments() {
        makeFormatPage(1, 1, 2)
        formatTab.addIconsToOutputPage("1", "MP1", false)
        formatTab.choosePreset(0)
        mouseClick(findChild(page, "settingsIcon"), 46, 30)
        verify(formatTab.settingsPanel.visible)
        var input = findChild(page, "argumentsInput")
        mouseClick(input)
        keyClick(Qt.Key_End)
        keyClick(Qt.Key_Space)
        keyClick("x")
        compare(page.ffmpegArgs, "-preset 0 x")
        compare(formatTab.outputSelected, -1)
        compare([page.formatId, page.outputId, page.outExt], [1, 11, "ext0"])
        verify(findChild(page, "outputTile:Preset 1").selected)

        mouseClick(findChild(page, "settingsIcon"), 46, 30)
        verify(!formatTab.settingsPanel.visible)
    }

    function test_outputFolder_data() {
        return [
            { tag: "unchecked, cancelled", clicks: ["box"], answers: [""], checked: true, outPath: "" },
            { tag: "unchecked, chosen", clicks: ["box"], answers: ["/out"], checked: false, outPath: "/out/" },
            { tag: "root keeps one separator", clicks: ["box"], answers: ["/"], checked: false, outPath: "/" },
            { tag: "field while checked", clicks: ["field"], answers: ["/out"], checked: true, outPath: "" },
            { tag: "field changes folder", clicks: ["box", "field"], answers: ["/out", "/other/"],
              checked: false, outPath: "/other/" },
            { tag: "field cancelled keeps folder", clicks: ["box", "field"], answers: ["/out", ""],
              checked: false, outPath: "/out/" },
            { tag: "checked again clears", clicks: ["box", "box"], answers: ["/out"], checked: true, outPath: "" }
        ]
    }

    function test_outputFolder(data) {
        makeFormatPage(1, 1, 1)
        formatTab.addIconsToOutputPage("1", "MP1", false)
        mouseClick(findChild(page, "settingsIcon"), 46, 30)
        backend.folderAnswers = data.answers.slice()
        var opened = 0
        for (var i = 0; i < data.clicks.length; ++i)
            mouseClick(findChild(page, data.clicks[i] === "box" ? "checkSameFolder" : "sOutputFolderInput"))
        compare(formatTab.outputSameFolder.checked, data.checked)
        compare(page.outPath, data.outPath)
        compare(findChild(page, "sOutputFolderInput").text, data.outPath)
        compare(backend.countOf("openOutputFolder"), data.tag === "field while checked" ? 0 : data.answers.length)
    }

    function test_arrows_data() {
        return [
            { tag: "4 devices", devices: 4, formats: 2, arrows: "device", shown: false, steps: [] },
            { tag: "7 devices", devices: 7, formats: 2, arrows: "device", shown: true, steps: [92, 184, 276, 276] },
            { tag: "8 formats", devices: 1, formats: 8, arrows: "format", shown: false, steps: [] },
            { tag: "12 formats", devices: 1, formats: 12, arrows: "format", shown: true, steps: [92, 184, 184] }
        ]
    }

    function test_arrows(data) {
        makeFormatPage(data.devices, data.formats, 1)
        var left = findChild(page, data.arrows + "Left")
        var right = findChild(page, data.arrows + "Right")
        var view = findChild(page, data.arrows === "device" ? "deviceList" : "formatFlickable")
        compare([left.visible, right.visible], [data.shown, data.shown])
        if (!data.shown)
            return
        verify(!left.enabled)
        compare(left.opacity, 0.2)
        for (var i = 0; i < data.steps.length; ++i) {
            mouseClick(right)
            tryCompare(view, "contentX", data.steps[i])
        }
        verify(!right.enabled)
        compare(right.opacity, 0.2)
        verify(left.enabled)
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
        makeFormatPage(1, 12, 1)
        var grid = findChild(page, "formatFlickable")
        grid.contentX = data.at
        formatTab.snapFormatGrid()
        tryCompare(grid, "contentX", data.to)
    }

    function test_next_data() {
        return [
            { tag: "no preset", args: "", release: "over", tab: 1, warning: true },
            { tag: "preset chosen", args: "-vn", release: "over", tab: 2, warning: false },
            { tag: "released elsewhere", args: "", release: "away", tab: 1, warning: false }
        ]
    }

    function test_next(data) {
        makeFormatPage(1, 1, 1)
        page.ffmpegArgs = data.args
        backend.clearCalls()
        var next = findChild(page, "formatNext")
        mousePress(next)
        if (data.release === "away") {
            mouseMove(next, -100, 0)
            mouseRelease(next, -100, 0)
        } else {
            mouseRelease(next)
        }
        compare(tabs.current, data.tab)
        compare(backend.callsTo("warning").map(function (c) { return c.args[0] }),
                data.warning ? ["You must select an output device or format to proceed!"] : [])
    }
}
