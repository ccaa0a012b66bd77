import QtQuick
import QtTest

PageCase {
    name: "Tabs"

    function init() {
        makePage()
    }

    function clickHeader(index) {
        mouseClick(findChild(page, "tabHeader" + index))
    }

    function test_headerRules_data() {
        var empty = "You must have items in the Media List to proceed!"
        var noOutput = "You must select an output device or format to proceed!"
        return [
            { tag: "format, empty list", rows: 0, args: "", running: false, click: 1, tab: 0, warning: empty },
            { tag: "convert, empty list", rows: 0, args: "-vn", running: false, click: 2, tab: 0, warning: empty },
            { tag: "format with rows", rows: 1, args: "", running: false, click: 1, tab: 1, warning: "" },
            { tag: "convert, no output", rows: 1, args: "", running: false, click: 2, tab: 1, warning: noOutput },
            { tag: "convert ready", rows: 1, args: "-vn", running: false, click: 2, tab: 2, warning: "" },
            { tag: "add while running", rows: 1, args: "-vn", running: true, click: 0, tab: 2,
              warning: "Please wait for the current conversion to finish before adding more media." },
            { tag: "format while running", rows: 1, args: "-vn", running: true, click: 1, tab: 2,
              warning: "You cannot change the output format mid-conversion!" }
        ]
    }

    function test_headerRules(data) {
        if (data.rows)
            addJobs(["wait"])
        page.ffmpegArgs = data.args
        if (data.running)
            convert()
        tabs.current = 2
        convertTab.currentOverallProgress = 40
        backend.clearCalls()
        clickHeader(data.click)
        compare(tabs.current, data.tab)
        compare(backend.callsTo("warning").map(function (c) { return c.args[0] }),
                data.warning === "" ? [] : [data.warning])
        compare(convertTab.currentOverallProgress, data.tab === 2 ? 40 : 0)
        // Only the current page shows and takes clicks.
        for (var i = 0; i < 3; ++i) {
            var pageItem = [addTab, formatTab, convertTab][i]
            compare([pageItem.visible, pageItem.opacity], i === data.tab ? [true, 1] : [false, 0])
        }
    }

    function test_addTiles() {
        compare(addTab.addModel.count, 4)
        compare([addTab.addModel.get(2).type, addTab.addModel.get(3).type], ["cd", "dvd"])

        backend.fileAnswers = [["/in/a.mp3", "/in/b.mp3"], []]
        findChild(page, "addTile:Audio").clicked()
        compare(backend.lastCall("openInputFile").args, ["Add Audio Files", "Audio (*.mp3)"])
        compare(jobs.count, 2)
        findChild(page, "addTile:Video").clicked()
        compare(backend.lastCall("openInputFile").args, ["Add Video Files", "Video (*.mp4)"])
        compare(jobs.count, 2)

        findChild(page, "addTile:CD").clicked()
        findChild(page, "addTile:DVD").clicked()
        compare([backend.countOf("selectCd"), backend.countOf("selectDvd")], [1, 1])

        // The File menu's entries use the first two input kinds.
        backend.fileAnswers = [["/in/c.mp3"], ["/in/d.mp4"]]
        backend.addAudioFile()
        backend.addVideoFile()
        compare(backend.callsTo("openInputFile").slice(-2).map(function (c) { return c.args[0] }),
                ["Add Audio Files", "Add Video Files"])
        compare(jobs.count, 4)
    }

    function test_nextReleasedOutside_data() {
        return [
            { tag: "released over it, rows", rows: 1, moveAway: false, tab: 1, warnings: 0 },
            { tag: "released over it, empty", rows: 0, moveAway: false, tab: 0, warnings: 1 },
            { tag: "moved away", rows: 1, moveAway: true, tab: 0, warnings: 0 }
        ]
    }

    function test_nextReleasedOutside(data) {
        if (data.rows)
            addJobs(["wait"])
        backend.clearCalls()
        var next = findChild(page, "addNext")
        mousePress(next)
        compare(next.source.toString().slice(-21), "nextButtonClicked.png")
        if (data.moveAway) {
            mouseMove(next, -40, -40)
            mouseRelease(next, -40, -40)
        } else {
            mouseRelease(next)
        }
        compare(next.source.toString().slice(-14), "nextButton.png")
        compare(tabs.current, data.tab)
        compare(backend.countOf("warning"), data.warnings)
    }

    function test_windowButtons() {
        var help = findChild(page, "menuHelp")
        mouseClick(help)
        compare(backend.lastCall("showMenu").args, [1, help.mapToItem(page, 0, 0).x + 5])
        var maximize = findChild(page, "maximizeButton")
        mouseClick(maximize)
        verify(maximize.image.indexOf("restoreButton") >= 0)
        mouseClick(maximize)
        verify(maximize.image.indexOf("maximizeButton") >= 0)
        compare([backend.countOf("showMaximized"), backend.countOf("showNormal")], [1, 1])
    }

    function test_overallProgress_data() {
        return [
            { tag: "idle", running: false, done: 0, current: 0, percent: 0 },
            { tag: "first row half", running: true, done: 30, current: 0, percent: 12 },
            { tag: "third row started", running: true, done: 0, current: 2, percent: 75 },
            { tag: "all done", running: true, done: 240, current: 0, percent: 100 }
        ]
    }

    // Rows of 1, 2 and 1 minutes: 240 seconds in all.
    function test_overallProgress(data) {
        addRows([{ path: "/in/a.mkv", duration: "00:01:00" }, { path: "/in/b.mkv", duration: "00:02:00" },
                 { path: "/in/c.mkv", duration: "00:01:00" }])
        list.current = data.current
        convertTab.updateOverallProgress(data.running, data.done)
        compare(convertTab.currentOverallProgress, data.percent)
    }

    function test_burnSetUp_data() {
        return [
            { tag: "dvd", formatId: 7, drive: "/dev/sr0", disc: "dvd", source: "burn_dvd" },
            { tag: "audio cd", formatId: 36, drive: "/dev/sr1", disc: "cd", source: "burn_cd" },
            { tag: "drive choice cancelled", formatId: 7, drive: "", disc: "dvd", source: "" },
            { tag: "no disc", formatId: 2, drive: "", disc: "", source: "" }
        ]
    }

    function test_burnSetUp(data) {
        addJobs(["wait"])
        choose("-target pal-dvd", "mpg", data.formatId, 6)
        backend.burnAnswers = [data.drive]
        page.burnOutput = true
        convert()
        if (data.disc === "") {
            verify(!page.burnOutput)
            compare(backend.countOf("selectBurnDisc"), 0)
            compare(backend.lastCall("incrementCount").args, [2, 6])
            verify(page.conversionInProgress)
            return
        }
        verify(page.burnOutput)
        verify(/^\d{1,9}$/.test(page.desTemp), page.desTemp)
        compare(backend.lastCall("makeDir").args[0], backend.tempFolder + page.desTemp)
        compare(backend.lastCall("selectBurnDisc").args, [data.disc, 60])
        if (data.drive === "") {
            compare(jobs.count, 1)
            compare(backend.countOf("incrementCount") + backend.countOf("startNewConversion"), 0)
            verify(!page.conversionInProgress)
            return
        }
        compare([jobs.get(1).source, jobs.get(1).fileName], [data.source, data.drive])
        compare(backend.lastCall("incrementCount").args, [data.formatId, 6])
        compare(backend.lastCall("startNewConversion").args[3], backend.tempFolder + page.desTemp + "/job0")
    }

    function test_cancelWholeRun_data() {
        return [
            { tag: "no", answer: false, formatId: 2, cancelled: false },
            { tag: "yes", answer: true, formatId: 2, cancelled: true },
            { tag: "yes, dvd burn pending", answer: true, formatId: 7, cancelled: true },
            { tag: "yes, cd burn pending", answer: true, formatId: 36, cancelled: true }
        ]
    }

    function test_cancelWholeRun(data) {
        addJobs(["complete", "wait", "wait"])
        choose("-vn", "mp3", data.formatId, 4)
        backend.burnAnswers = ["/dev/sr0"]
        convert()
        backend.startConversion("job1 (New).mp3")
        backend.conversionProgress(20)
        backend.yesnoAnswers = [data.answer]
        compare(convertTab.cancelWholeConversion(), data.cancelled)
        compare(backend.lastCall("yesno").args[0], "Are you sure you want to cancel the current conversion?")
        if (!data.cancelled) {
            compare(statuses().slice(0, 3), ["complete", "33%", "wait"])
            verify(page.conversionInProgress)
            return
        }
        compare(backend.countOf("stopConversion"), 1)
        compare(statuses(), ["complete", "wait", "wait"])
        compare(jobs.get(1).newFileName, "job1")
        verify(!page.conversionInProgress)
        compare(page.overallDuration, 180)

        // The next run adds exactly one burn row again.
        backend.burnAnswers = ["/dev/sr0"]
        convert()
        compare(jobs.count, data.formatId === 2 ? 3 : 4)
    }

    function test_backFromConvert_data() {
        return [
            { tag: "idle", running: false, answer: false, tab: 1, asked: 0 },
            { tag: "running, stay", running: true, answer: false, tab: 2, asked: 1 },
            { tag: "running, cancel", running: true, answer: true, tab: 1, asked: 1 }
        ]
    }

    function test_backFromConvert(data) {
        addJobs(["wait"])
        choose("-vn", "mp3", 2, 4)
        tabs.current = 2
        if (data.running)
            convert()
        backend.yesnoAnswers = [data.answer]
        backend.clearCalls()
        mouseClick(findChild(page, "convertBack"))
        compare(tabs.current, data.tab)
        compare(backend.countOf("yesno"), data.asked)
    }
}
