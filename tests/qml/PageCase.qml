import QtQuick
import QtTest

// A test case with the whole page loaded against a fresh backend double.
TestCase {
    id: pageCase

    property var harness: null
    property var backend: null
    property var page: null
    property var list: null
    property var jobs: null
    property var tabs: null
    property var addTab: null
    property var formatTab: null
    property var convertTab: null
    // Real pictures to stand for probe thumbnails.
    readonly property string pictures: decodeURIComponent(pageFolder.replace(/^file:\/\//, "")) + "images/"
    readonly property var thumbnails: [pictures + "screenshot-audio.png", pictures + "screenshot-unknown.png",
                                       pictures + "fileImage.png", pictures + "iconBack.png"]

    width: 1000
    height: 700
    when: windowShown
    // TestCase hides itself; the page under test must show to take clicks.
    visible: true

    Component {
        id: harnessComponent
        Harness {}
    }

    // `prepare(backend)` may fill the catalogue lists before the page reads them.
    function makePage(prepare) {
        failOnWarning(/./)
        harness = createTemporaryObject(harnessComponent, pageCase)
        backend = harness.backend
        if (prepare)
            prepare(backend)
        harness.active = true
        page = harness.page
        list = findChild(page, "mediaList")
        jobs = list.mediaListModel
        tabs = findChild(page, "idTabs")
        addTab = findChild(page, "addTab")
        formatTab = findChild(page, "formatTab")
        convertTab = findChild(page, "convertTab")
        backend.clearCalls()
    }

    // The probe's answer for a path: name, folder, base name, duration, thumbnail.
    function probeInfo(path, duration, thumbnail) {
        var slash = path.lastIndexOf("/")
        var name = path.substring(slash + 1)
        var dot = name.lastIndexOf(".")
        return [name, path.substring(0, slash + 1), dot < 0 ? name : name.substring(0, dot), duration,
                thumbnail === undefined ? "" : thumbnail]
    }

    // Adds probed rows: each { path, duration, video, audio, source, thumbnail }.
    function addRows(rows) {
        for (var i = 0; i < rows.length; ++i) {
            var r = rows[i]
            if (r.source === "dvd")
                backend.addDVD([r.path], r.duration)
            else if (r.source === "cd")
                backend.addAudioCD([r.path])
            else
                backend.fileDropped([r.path])
        }
        for (var j = 0; j < rows.length; ++j) {
            var s = rows[j]
            backend.fileInfoReady(probeInfo(s.path, s.duration, s.thumbnail),
                                  s.video === undefined ? ["h264 (High)", "yuv420p", "320x240 [SAR 1:1 DAR 4:3]"] : s.video,
                                  s.audio === undefined ? ["aac (LC)", "44100 Hz"] : s.audio)
        }
    }

    // Plain file rows with a minute each and the given statuses.
    function addJobs(statuses) {
        var rows = []
        for (var i = 0; i < statuses.length; ++i)
            rows.push({ path: "/in/job" + i + ".mkv", duration: "00:01:00", thumbnail: thumbnails[i % thumbnails.length] })
        addRows(rows)
        for (var j = 0; j < statuses.length; ++j)
            jobs.setProperty(j, "currentStatus", statuses[j])
    }

    function statuses() {
        var out = []
        for (var i = 0; i < jobs.count; ++i)
            out.push(jobs.get(i).currentStatus)
        return out
    }

    function choose(args, ext, formatId, outputId) {
        page.ffmpegArgs = args
        page.outExt = ext
        page.formatId = formatId
        page.outputId = outputId
    }

    // Starts a run the way the Convert button does, with a plain preset
    // unless one was chosen.
    function convert() {
        if (page.ffmpegArgs === "")
            choose("-vcodec mpeg4", "avi", 3, 9)
        backend.clearCalls()
        convertTab.convert()
    }

    function fadeTarget(item) {
        return findChild(item, "clearCompletedFade").targetValue
    }
}
