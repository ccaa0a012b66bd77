import QtQuick
import QtTest

PageCase {
    name: "Tabs"

    function init() {
        makePage()
    }

    // Headers switch through the rules from the Convert tab, leaving its
    // progress behind; each Next button checks its own rule.
    function test_switchRules_data() {
        var empty = "You must have items in the Media List to proceed!"
        var noOutput = "You must select an output device or format to proceed!"
        return [
            { tag: "format, empty list", rows: 0, args: "", click: "tabHeader1", tab: 0, warning: empty },
            { tag: "convert, empty list", rows: 0, args: "-vn", click: "tabHeader2", tab: 0, warning: empty },
            { tag: "format with rows", rows: 1, args: "", click: "tabHeader1", tab: 1 },
            { tag: "convert, no output", rows: 1, args: "", click: "tabHeader2", tab: 1, warning: noOutput },
            { tag: "convert ready", rows: 1, args: "-vn", click: "tabHeader2", tab: 2 },
            { tag: "add while running", rows: 1, args: "-vn", running: true, click: "tabHeader0", tab: 2,
              warning: "Please wait for the current conversion to finish before adding more media." },
            { tag: "format while running", rows: 1, args: "-vn", running: true, click: "tabHeader1", tab: 2,
              warning: "You cannot change the output format mid-conversion!" },
            { tag: "add next, empty list", rows: 0, args: "", from: 0, click: "addNext", tab: 0, warning: empty },
            { tag: "add next", rows: 1, args: "", from: 0, click: "addNext", tab: 1 },
            { tag: "format next, no output", rows: 1, args: "", from: 1, click: "formatNext", tab: 1,
              warning: noOutput },
            { tag: "format next", rows: 1, args: "-vn", from: 1, click: "formatNext", tab: 2 }
        ]
    }

    function test_switchRules(data) {
        if (data.rows)
            addJobs(["wait"])
        page.ffmpegArgs = data.args
        if (data.running)
            convert()
        var from = data.from === undefined ? 2 : data.from
        tabs.current = from
        convertTab.currentOverallProgress = from === 2 ? 40 : 0
        backend.calls = []
        mouseClick(findChild(page, data.click))
        compare(tabs.current, data.tab)
        compare(backend.args("warning"), data.warning ? [[data.warning]] : [])
        compare(convertTab.currentOverallProgress, from === 2 && data.tab === 2 ? 40 : 0)
        // A see-through page must not take clicks.
        compare(["addTab", "formatTab", "convertTab"].map(n => findChild(page, n).visible),
                [0, 1, 2].map(i => i === data.tab))
    }

    // A file kind opens its dialog with its title and filter, as does the
    // File menu's entry for it; CD and DVD ask the backend.
    function test_addFiles() {
        backend.fileAnswers = [["/in/a.mp3", "/in/b.mp3"], ["/in/c.mp4"]]
        waitForRendering(page)
        clickTile("addTile:Audio")
        backend.addVideoFile()
        clickTile("addTile:CD")
        clickTile("addTile:DVD")
        compare([backend.count("selectCd"), backend.count("selectDvd")], [1, 1])
        compare(backend.args("openInputFile"),
                [["Add Audio Files", "Audio (*.mp3)"], ["Add Video Files", "Video (*.mp4)"]])
        compare(column("fileName"), ["/in/a.mp3", "/in/b.mp3", "/in/c.mp4"])
    }
}
