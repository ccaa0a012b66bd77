import QtQuick
import QtTest

// The page over the job queue: rows show the queue's jobs, and the user's
// adds, removals, cancels, burns and name edits reach it with the page's
// questions and warnings.
PageCase {
    name: "JobQueue"

    function init() {
        makePage()
    }

    function rowItem(i) {
        waitForItemPolished(list.listView)
        return findChild(list.listView, "row" + i)
    }

    // Drops and rips become rows; probe answers fill them; one without
    // streams goes with the page's warning.
    function test_rowsFromTheQueue() {
        backend.fileDropped(["/in/a.mkv", "/in/none.mkv"])
        backend.addDVD(["/rip/title1.vob"], "01:30:00")
        compare(engine.calls, ["probe /in/a.mkv", "probe /in/none.mkv", "probe /rip/title1.vob"])
        verify(jobs.get(0).loading && !convertTab.convertButton.enabled)
        engine.answer("/in/a.mkv", "00:01:05", "640x480 [SAR 1:1 DAR 4:3]")
        compare([jobs.get(0).origFileName, jobs.get(0).newFileName, jobs.get(0).wxh], ["a.mkv", "a", "640x480 [SAR 1:1 DAR 4:3]"])
        verify(convertTab.convertButton.enabled)
        engine.answer("/in/none.mkv", "00:00:00", "", false)
        compare(backend.last("warning"), ["FFmpeg is unable to extract any valid video or audio stream from the input "
                                          + "file none.mkv.\n\nThis file has NOT been added to the Media List."])
        compare(column("fileName"), ["/in/a.mkv", "/rip/title1.vob"])
        compare(page.overallDuration, 65)
    }

    // Removing a converting row asks first; the job may end while the
    // question is open. Other rows go without a question.
    function test_removal_data() {
        return [
            { tag: "waiting row", index: 1, rows: ["0%"] },
            { tag: "running, no", index: 0, asked: true, rows: ["0%", "wait"] },
            { tag: "running, yes", index: 0, asked: true, yes: true, rows: ["remove", "wait"], stop: true },
            { tag: "ended during the question", index: 0, asked: true, yes: true, during: true,
              rows: ["complete", "0%"], warning: "Conversion already finished" }
        ]
    }

    function test_removal(data) {
        addJobs(["wait", "wait"])
        page.ffmpegArgs = "-vn"
        queue.simultaneous = 1
        convert()
        backend.yesnoAnswers = [data.yes === true]
        if (data.during)
            backend.duringQuestion = () => engine.finish(0, true, "/in/job0.avi")
        mouseClick(findChild(rowItem(data.index), "remove"))
        compare(column("currentStatus"), data.rows)
        compare(backend.count("yesno"), data.asked ? 1 : 0)
        compare(requests("stop").length, data.stop ? 1 : 0)
        compare(backend.args("warning"), data.warning ? [[data.warning]] : [])
    }

    // Back on the Convert tab asks to cancel the run; yes stops it, puts
    // the row back as it was and drops the burn row.
    function test_cancelWholeRun() {
        addJobs(["complete", "wait"])
        choose("-target pal-dvd", "mpg", 7, 6)
        tabs.current = 2
        backend.burnAnswers = ["/dev/sr0"]
        convert()
        engine.start(0, "/scratch/temp/1/job1 (New).mpg")
        backend.yesnoAnswers = [false, true]
        mouseClick(findChild(page, "convertBack"))
        compare([tabs.current, page.conversionInProgress, jobs.count], [2, true, 3])
        mouseClick(findChild(page, "convertBack"))
        compare(backend.args("yesno"), Array(2).fill(["Are you sure you want to cancel the current conversion?"]))
        compare([tabs.current, page.conversionInProgress, column("currentStatus"), column("newFileName")],
                [1, false, ["complete", "wait"], ["job0", "job1"]])
        compare(requests("stop").length, 1)
    }

    // Formats 7 and 36 burn: a drive first, none no run; the burn goes to
    // the drive once the conversions are done.
    function test_burn_data() {
        return [
            { tag: "dvd", formatId: 7, drive: "/dev/sr0", disc: "dvd" },
            { tag: "audio cd", formatId: 36, drive: "/dev/sr1", disc: "cd" },
            { tag: "drive choice cancelled", formatId: 7, drive: "", disc: "dvd" },
            { tag: "no disc", formatId: 2, drive: "", disc: "" }
        ]
    }

    function test_burn(data) {
        addJobs(["wait"])
        choose("-target pal-dvd", "mpg", data.formatId, 6)
        backend.burnAnswers = [data.drive]
        convert()
        compare(backend.args("selectBurnDisc"), data.disc ? [[data.disc, 60]] : [])
        var started = data.drive !== "" || data.disc === ""
        compare([backend.args("incrementCount"), requests("convert").length, page.conversionInProgress],
                started ? [[[data.formatId, 6]], 1, true] : [[], 0, false])
        if (!started || data.disc === "")
            return
        compare([jobs.count, page.overallDuration, jobs.get(1).fileName], [2, 660, data.drive])
        engine.finish(0, true, "/scratch/job0.mpg")
        compare(requests("burn"), ["burn " + data.disc + " " + data.drive + " "])
    }

    // The overall bar and the time left follow the queue; Clear Completed
    // takes finished rows, failed ones too.
    function test_progressAndClear() {
        addJobs(["complete", "error", "wait", "wait"])
        page.ffmpegArgs = "-vn"
        queue.simultaneous = 1
        tabs.current = 2
        compare(fadeTarget(), 1)
        convert()
        engine.progress(0, 30)
        compare([convertTab.currentOverallProgress, column("currentStatus")[2]], [62, "50%"])
        engine.finish(0, true, "/in/job2.avi")
        engine.finish(0, true, "/in/job3.avi")
        compare(convertTab.currentOverallProgress, 100)
        convertTab.clearCompletedRows()
        compare([jobs.count, tabs.current, fadeTarget()], [0, 0, 0.2])
    }

    // The burner needs the caption (PAL or NTSC) of the preset whose id is
    // outputId, even when no tile is selected.
    function test_burnCaption_data() {
        return [
            { tag: "selected tile", select: 1, outputId: 7, caption: "NTSC 16:9" },
            { tag: "no tile selected", outputId: 7, caption: "NTSC 16:9" },
            { tag: "other page shown", otherPage: true, outputId: 7, caption: "NTSC 16:9" },
            { tag: "unknown preset", outputId: 42, caption: "" }
        ]
    }

    function test_burnCaption(data) {
        backend.outputModels = { "7": ["6", "PAL 16:9", "7", "", "mpg", "0", "1", "", "-target pal-dvd",
                                       "7", "NTSC 16:9", "7", "", "mpg", "0", "2", "", "-target ntsc-dvd"] }
        formatTab.addIconsToOutputPage("7", "DVD", false)
        choose("-target pal-dvd", "mpg", 7, data.outputId)
        if (data.select)
            formatTab.choosePreset(data.select)
        if (data.otherPage)
            formatTab.addIconsToOutputPage("2", "MP3", false)
        addJobs(["wait"])
        backend.burnAnswers = ["/dev/sr0"]
        convertTab.convert()
        compare(jobs.get(1).finalOutput, data.caption)
    }

    // Every keystroke lands in the row; the edit's end trims the name, and
    // an emptied one reverts to the base name.
    function test_nameEdit_data() {
        return [
            { tag: "enter", key: Qt.Key_Return, typed: "holiday ", name: "holiday" },
            { tag: "escape", key: Qt.Key_Escape, typed: "holiday", name: "holiday" },
            { tag: "emptied", key: Qt.Key_Return, typed: "", name: "job0" },
            { tag: "click elsewhere", typed: "holiday", name: "holiday" }
        ]
    }

    function test_nameEdit(data) {
        addJobs(["wait", "wait"])
        mouseClick(findChild(rowItem(0), "title"))
        var input = findChild(rowItem(0), "nameInput")
        verify(jobs.get(0).selected && input.activeFocus && !list.listView.interactive)
        compare(input.selectedText, "job0")
        keyClick(Qt.Key_Delete)
        for (var c of data.typed)
            keyClick(c)
        compare(jobs.get(0).newFileName, data.typed)
        if (data.key)
            keyClick(data.key)
        else
            mouseClick(page, 600, 530)
        verify(!jobs.get(0).selected && list.listView.interactive)
        compare(jobs.get(0).newFileName, data.name)
    }
}
