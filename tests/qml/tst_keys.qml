import QtQuick
import QtTest

// The page by keyboard: the window's keys, the tile grids, the job list and
// the order of the Tab key.
PageCase {
    name: "Keys"

    function init() {
        makePage(function (b) {
            var icon = "images/icons/audio.png"
            b.formatModel = [].concat(...Array.from({ length: 12 },
                                                    (_, i) => [String(1 + i), "MP" + (i + 1), "", icon, "0", "0", ""]))
            b.outputModels = { "1": ["11", "Preset 1", "", icon, "ext", "0", "", "", "-vn -preset 1",
                                     "12", "Preset 2", "", icon, "ext", "0", "", "", "-vn -preset 2"] }
        })
        page.forceActiveFocus()
    }

    function focused() {
        var item = page.Window.activeFocusItem
        return item ? item.objectName : ""
    }

    function press(keys) {
        for (var k of keys)
            Array.isArray(k) ? keyClick(k[0], k[1]) : keyClick(k)
    }

    // Ctrl+2 lands on the first format; arrows move through the two rows of
    // the grid, Home and End jump; Return opens its presets with the first
    // under focus, and Space chooses one (the keys-only end-to-end test
    // goes on to convert).
    function test_formatByKeys_data() {
        return [
            { tag: "first format", keys: [], focus: "formatTile:MP1" },
            { tag: "arrows", keys: [Qt.Key_Right, Qt.Key_Down], focus: "formatTile:MP4" },
            { tag: "end, home", keys: [Qt.Key_End, Qt.Key_Left, Qt.Key_Home], focus: "formatTile:MP1" },
            { tag: "a preset", keys: [Qt.Key_Return, Qt.Key_Right, Qt.Key_Space], focus: "outputTile:Preset 2",
              args: "-vn -preset 2" }
        ]
    }

    function test_formatByKeys(data) {
        addJobs(["wait"])
        keyClick(Qt.Key_2, Qt.ControlModifier)
        compare(tabs.current, 1)
        press(data.keys)
        if (data.focus)
            compare(focused(), data.focus)
        compare(page.ffmpegArgs, data.args || "")
    }

    // The window's keys keep the tab rules; Ctrl+Return converts only while
    // the Convert button would take a click; Ctrl+O asks for files.
    function test_windowKeys_data() {
        return [
            { tag: "no output", rows: ["wait"], key: Qt.Key_3, tab: 1,
              warning: "You must select an output device or format to proceed!" },
            { tag: "convert, nothing waits", rows: ["complete"], args: "-vn", key: Qt.Key_Return, tab: 0 },
            { tag: "convert", rows: ["wait"], args: "-vn", key: Qt.Key_Return, tab: 2, converts: 1 },
            { tag: "files", rows: [], key: Qt.Key_O, tab: 0, files: 1 }
        ]
    }

    function test_windowKeys(data) {
        addJobs(data.rows)
        page.ffmpegArgs = data.args || ""
        backend.fileAnswers = [["/in/new.mkv"]]
        keyClick(data.key, Qt.ControlModifier)
        compare([tabs.current, backend.args("warning"), requests("convert").length, backend.count("openMediaFiles"),
                 jobs.count], [data.tab, data.warning ? [[data.warning]] : [], data.converts || 0, data.files || 0,
                               data.rows.length + (data.files || 0)])
    }

    // In the job list the arrows move, Delete removes through the ×'s path
    // (whose question tst_jobqueue tries), Return opens a finished row's
    // folder, F2 renames (and Return ends the name, giving the list its keys back).
    function test_listKeys_data() {
        return [
            { tag: "delete the second", rows: ["wait", "wait"], keys: [Qt.Key_Down, Qt.Key_Delete],
              left: ["/in/job0.mkv"] },
            { tag: "return on a finished row", rows: ["wait", "complete"], keys: [Qt.Key_Down, Qt.Key_Return],
              left: ["/in/job0.mkv", "/in/job1.mkv"], opened: 1 },
            { tag: "return on a waiting row", rows: ["wait"], keys: [Qt.Key_Return], left: ["/in/job0.mkv"] },
            { tag: "F2 renames", rows: ["wait"], keys: [Qt.Key_F2, "b", Qt.Key_Return, Qt.Key_Delete], left: [],
              name: "b" }
        ]
    }

    function test_listKeys(data) {
        addJobs(data.rows)
        var renamed = ""
        jobs.dataChanged.connect(() => renamed = jobs.count > 0 ? jobs.get(0).newFileName : renamed)
        list.listView.forceActiveFocus()
        press(data.keys)
        compare([column("fileName"), backend.count("openFolder"), renamed], [data.left, data.opened || 0, data.name || renamed])
    }

    // Tab goes through the controls in reading order: title strip, tab
    // headers, the page shown, the job list; Shift+Tab goes back.
    function test_tabOrder() {
        addJobs(["wait"])
        findChild(page, "menuFile").forceActiveFocus()
        var order = []
        for (var i = 0; i < 10; ++i) {
            keyClick(Qt.Key_Tab)
            order.push(focused())
        }
        compare(order, ["menuHelp", "minimizeButton", "maximizeButton", "closeButton", "tabHeader0", "tabHeader1",
                        "tabHeader2", "addTile:Audio", "addNext", "row0"])
        keyClick(Qt.Key_Tab, Qt.ShiftModifier)
        compare(focused(), "addNext")
    }
}
