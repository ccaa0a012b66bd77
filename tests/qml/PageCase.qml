import QtQuick
import QtTest
import MediaForgeStudio.Test

// A test case with the whole page loaded against a fresh backend double and
// a job queue whose engine the test answers.
TestCase {
    id: pageCase

    property var backend: null
    // The job queue and its engine.
    property var queue: null
    property var engine: null
    property var page: null
    property var list: null
    property var jobs: null
    property var tabs: null
    property var formatTab: null
    property var convertTab: null
    readonly property url pageFolder: Qt.resolvedUrl("../../qml/")

    width: 1000
    height: 700
    when: windowShown
    // TestCase hides itself; the page under test must show to take clicks.
    visible: true

    // The page finds `mainwnd` among this component's ids.
    Component {
        id: harness

        Item {
            property alias backend: mainwnd
            property alias queue: jobs
            property alias loader: loader

            width: 800
            height: 552
            MainwndDouble { id: mainwnd }
            HeldJobs { id: jobs }
            Loader { id: loader; anchors.fill: parent; active: false; source: pageFolder + "main.qml" }
        }
    }

    // `prepare(backend)` may fill the catalogue lists before the page reads them.
    function makePage(prepare) {
        failOnWarning(/./)
        var h = createTemporaryObject(harness, pageCase)
        backend = h.backend
        queue = h.queue
        engine = queue.engine
        if (prepare)
            prepare(backend)
        h.loader.active = true
        page = h.loader.item
        list = findChild(page, "mediaList")
        jobs = list.mediaListModel
        tabs = findChild(page, "idTabs")
        formatTab = findChild(page, "formatTab")
        convertTab = findChild(page, "convertTab")
        backend.calls = []
    }

    // Adds probed rows: each { path, duration, source }.
    function addRows(rows) {
        for (var r of rows)
            r.source === "dvd" ? backend.addDVD([r.path], r.duration)
                               : r.source === "cd" ? backend.addAudioCD([r.path]) : backend.fileDropped([r.path])
        for (var s of rows)
            engine.answer(s.path, s.duration, "320x240 [SAR 1:1 DAR 4:3]")
    }

    // Plain file rows with a minute each and the given statuses.
    function addJobs(statuses) {
        addRows(statuses.map((s, i) => ({ path: "/in/job" + i + ".mkv", duration: "00:01:00" })))
        statuses.forEach((s, i) => queue.setStatus(i, s))
    }

    // The engine's requests of one kind ("convert", "stop", "burn", ...).
    function requests(kind) {
        return engine.calls.filter(c => c.split(" ")[0] === kind)
    }

    // One role of every row.
    function column(role) {
        return Array.from({ length: jobs.count }, (_, i) => jobs.get(i)[role])
    }

    function choose(args, ext, formatId, outputId) {
        Object.assign(page, { ffmpegArgs: args, outExt: ext, formatId: formatId, outputId: outputId })
    }

    // Starts a run the way the Convert button does, with a plain preset
    // unless one was chosen.
    function convert() {
        if (page.ffmpegArgs === "")
            choose("-vcodec mpeg4", "avi", 3, 9)
        backend.calls = []
        convertTab.convert()
    }

    // Only a tile's picture takes clicks.
    function clickTile(objectName) {
        mouseClick(findChild(page, objectName), 46, 30)
    }

    function fadeTarget() {
        return findChild(convertTab, "clearCompletedFade").targetValue
    }
}
