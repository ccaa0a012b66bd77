import QtQuick
import QtTest

PageCase {
    name: "JobQueue"

    function init() {
        makePage()
    }

    // Each probe answer fills the oldest loading row; one without streams drops it.
    function test_probeAnswersFillRowsInOrder() {
        backend.fileDropped(["/in/a.mkv", "/in/none.mkv"])
        backend.addDVD(["/rip/title1.vob"], "01:30:00")
        compare(backend.args("getFileInfo"), [["/in/a.mkv"], ["/in/none.mkv"], ["/rip/title1.vob"]])
        verify(!convertTab.convertButton.enabled)
        backend.fileInfoReady(probeInfo("/in/a.mkv", "00:01:05", picture),
                              ["h264 (High)", "yuv420p", "640x480 [SAR 1:1 DAR 4:3]", "25 fps"], ["aac (LC)"])
        var a = jobs.get(0)
        compare([a.loading, a.origFileName, a.origPathName, a.newFileName, a.duration, a.thumbnail, a.videoCodec,
                 a.wxh, a.audioCodec], [false, "a.mkv", "/in/", "a", "00:01:05", picture, "h264 (High)",
                                        "640x480 [SAR 1:1 DAR 4:3]", "aac (LC)"])
        verify(jobs.get(1).loading && convertTab.convertButton.enabled)

        backend.fileInfoReady(probeInfo("/in/none.mkv", "00:00:00"), [], [])
        compare(backend.last("warning"), ["FFmpeg is unable to extract any valid video or audio stream from the input "
                                          + "file none.mkv.\n\nThis file has NOT been added to the Media List."])
        compare(column("fileName"), ["/in/a.mkv", "/rip/title1.vob"])
        // A DVD title keeps the length the rip gave it.
        backend.fileInfoReady(probeInfo("/rip/title1.vob", "00:12:00"), [], ["ac3"])
        compare([jobs.get(1).duration, jobs.get(1).videoCodec, jobs.get(1).audioCodec], ["01:30:00", "", "ac3"])
        compare(page.overallDuration, 65 + 5400)
    }

    // Rows of 1, 2 and 1 minutes and one whose length does not parse: it
    // counts nothing, so the run is 240 seconds.
    function test_progress_data() {
        return [
            { tag: "rounded down", current: 0, time: 40, status: "66%", overall: 16 },
            { tag: "past the end", current: 0, time: 90, status: "100%", overall: 37 },
            { tag: "third row started", current: 2, time: 0, status: "0%", overall: 75 },
            { tag: "unparsable", current: 3, time: 20, status: "0%", overall: 100 }
        ]
    }

    function test_progress(data) {
        addRows(["00:01:00", "00:02:00", "00:01:00", "N/A, sta"].map((d, i) => ({ path: "/in/" + i, duration: d })))
        compare(page.overallDuration, 240)
        convert()
        list.current = data.current
        backend.conversionProgress(data.time)
        compare([jobs.get(data.current).currentStatus, convertTab.currentOverallProgress], [data.status, data.overall])
    }

    function test_outputPath_data() {
        return [
            { tag: "file beside input", source: "file", same: true, path: "/in/dir/clip.mkv", out: "/in/dir/clip" },
            { tag: "file to chosen folder", source: "file", path: "/in/dir/clip.mkv", out: "/out/clip" },
            { tag: "dvd to video folder", source: "dvd", same: true, path: "/rip/t1.vob", out: "/home/user/Videos/t1",
              made: [["/home/user/Videos/"]] },
            { tag: "dvd to chosen folder", source: "dvd", path: "/rip/t1.vob", out: "/out/t1" },
            { tag: "cd to chosen folder", source: "cd", path: "/t/1371000000/Track 01.wav", out: "/out/Track 01" }
        ]
    }

    function test_outputPath(data) {
        addRows([{ path: data.path, duration: "00:00:30", source: data.source }])
        formatTab.outputSameFolder.checked = data.same === true
        page.outPath = data.same ? "" : "/out/"
        choose("-s 640x480 -vcodec mpeg4", "avi", 3, 9)
        page.startNextConversion()
        compare(backend.last("startNewConversion"),
                [data.path, "-s 640x480 -vcodec mpeg4", "320x240", data.out, "avi"])
        compare(backend.args("makeDir"), data.made || [])
    }

    // Tracks of one rip share an album folder in the music folder, also over
    // several runs; another rip gets its own.
    function test_albumFolderPerRip() {
        var rip = "/t/1371000000/Track 0"
        addRows([1, 2].map(n => ({ path: rip + n + ".wav", duration: "00:03:00", source: "cd" })))
        convert()
        backend.conversionComplete(true, "/m/1.avi", "")
        var album = backend.last("makeDir")[0].substring("/home/user/Music/".length)
        var today = new Date()
        verify(/^Album \S+ \d{1,2}-\d{1,2}-\d{1,2}$/.test(album), album)
        compare(album.split(" ")[1], today.getFullYear() + "-" + (today.getMonth() + 1) + "-" + today.getDate())
        compare(backend.last("startNewConversion")[3], "/home/user/Music/" + album + "/Track 02")
        backend.conversionComplete(true, "/m/2.avi", "")
        compare(backend.count("makeDir"), 1)

        addRows([{ path: rip + "3.wav", duration: "00:03:00", source: "cd" }])
        convert()
        compare(backend.count("makeDir"), 0)
        compare(backend.last("startNewConversion")[3], "/home/user/Music/" + album + "/Track 03")
        backend.conversionComplete(true, "/m/3.avi", "")
        addRows([{ path: "/t/1372000000/Track 01.wav", duration: "00:03:00", source: "cd" }])
        convert()
        compare([backend.count("makeDir"), page.srcTemp], [1, "1372000000"])
    }

    // Finished rows are passed over untouched; a failed job keeps its message
    // (the runner has removed its output), and the run goes on.
    function test_completion() {
        addJobs(["complete", "error", "wait", "wait"])
        jobs.setProperty(0, "finalOutput", "/in/job0.avi")
        jobs.setProperty(1, "errorMsg", "Unknown encoder")
        convert()
        compare([backend.args("startNewConversion").map(a => a[0]), list.current], [["/in/job2.mkv"], 2])
        compare([column("currentStatus").slice(0, 2), jobs.get(0).finalOutput, jobs.get(1).errorMsg],
                [["complete", "error"], "/in/job0.avi", "Unknown encoder"])
        backend.calls = []
        backend.startConversion("job2 (New).avi")
        backend.conversionComplete(false, "/in/job2 (New).avi", "Unknown encoder 'x'")
        var row = jobs.get(2)
        compare([row.newFileName, row.currentStatus, row.errorMsg, row.finalOutput],
                ["job2 (New).avi", "error", "Unknown encoder 'x'", "/in/job2 (New).avi"])
        compare([backend.count("removeFile"), backend.last("startNewConversion")[0]], [0, "/in/job3.mkv"])
        backend.conversionComplete(true, "/in/job3.avi", "")
        compare([jobs.get(3).currentStatus, jobs.get(3).finalOutput, backend.count("removeFile")],
                ["complete", "/in/job3.avi", 0])
        verify(list.isAllComplete() && !page.conversionInProgress && !convertTab.convertButton.enabled)
        compare([list.current, convertTab.currentOverallProgress], [0, 100])
    }

    // Rows "complete", running at 45%, "wait" of a minute each. Removing the
    // running row asks; "yes" stops the job, and its stop (or its end, if it
    // missed the stop) takes the row away. The job or the whole run may end
    // while the question is open.
    function test_removal_data() {
        var stopping = ["complete", "remove", "wait"]
        var next = ["complete", "wait"]
        return [
            { tag: "below running", index: 2, statuses: ["complete", "45%"], current: 1, total: 120 },
            { tag: "above running", index: 0, statuses: ["45%", "wait"], current: 0, total: 120 },
            { tag: "running, no", index: 1, statuses: ["complete", "45%", "wait"], current: 1, total: 180 },
            { tag: "stop reported", index: 1, yes: true, report: "stop", statuses: stopping, current: 1, total: 120,
              after: next, next: ["/in/job2.mkv"] },
            { tag: "ended unstopped", index: 1, yes: true, report: "end", statuses: stopping, current: 1, total: 120,
              after: next, next: ["/in/job2.mkv"] },
            { tag: "last row stopped", rows: 2, index: 1, yes: true, report: "stop", statuses: ["complete", "remove"],
              current: 1, total: 60, after: ["complete"], next: [] },
            { tag: "job ended during question", index: 1, yes: true, during: true, starts: 2,
              statuses: ["complete", "complete", "wait"], current: 2, total: 180 },
            { tag: "run ended during question", rows: 2, index: 1, yes: true, during: true, ended: true,
              statuses: ["complete", "complete"], current: 0, total: 120 }
        ]
    }

    function test_removal(data) {
        addJobs(["complete", "wait", "wait"].slice(0, data.rows || 3))
        convert()
        backend.conversionProgress(27)
        backend.yesnoAnswers = [data.yes === true]
        if (data.during)
            backend.duringQuestion = () => backend.conversionComplete(true, "/in/job1.avi", "")
        list.removeFromList(data.index)
        compare([column("currentStatus"), list.current, page.overallDuration, page.conversionInProgress],
                [data.statuses, data.current, data.total, !data.ended])
        compare([backend.count("yesno"), backend.count("stopConversion"), backend.count("startNewConversion")],
                [data.index === 1 ? 1 : 0, data.report ? 1 : 0, data.starts || 1])
        compare(backend.args("warning"), data.during ? [["Conversion already finished"]] : [])
        if (!data.report)
            return
        // Reports still on their way from the stopped job touch nothing.
        backend.conversionProgress(30)
        backend.startConversion("job1.avi")
        compare([column("currentStatus"), jobs.get(1).newFileName], [data.statuses, "job1"])
        backend.calls = []
        if (data.report === "stop")
            backend.conversionCancelled()
        else
            backend.conversionComplete(true, "/in/job1.avi", "")
        compare([column("currentStatus"), backend.args("startNewConversion").map(a => a[0]), page.conversionInProgress],
                [data.after, data.next, data.next.length > 0])
        // A job that ended as it was removed goes with its row (a staged one
        // would reach the disc); a stopped one was removed by the runner.
        compare(backend.args("removeFile"), data.report === "end" ? [["/in/job1.avi"]] : [])
    }

    // Back on the Convert tab asks to cancel the run; "yes" stops it, puts the
    // row back as it was and drops the pending burn row.
    function test_cancelWholeRun() {
        addJobs(["complete", "wait", "wait"])
        choose("-target pal-dvd", "mpg", 7, 6)
        tabs.current = 2
        backend.burnAnswers = ["/dev/sr0"]
        convert()
        backend.startConversion("job1 (New).mpg")
        backend.conversionProgress(20)
        backend.yesnoAnswers = [false, true]
        backend.calls = []
        mouseClick(findChild(page, "convertBack"))
        compare([tabs.current, page.conversionInProgress, backend.count("stopConversion"), jobs.count], [2, true, 0, 4])
        mouseClick(findChild(page, "convertBack"))
        compare(backend.args("yesno"), Array(2).fill(["Are you sure you want to cancel the current conversion?"]))
        compare([tabs.current, page.conversionInProgress, backend.count("stopConversion")], [1, false, 1])
        // Reports still on their way from the stopped job touch nothing.
        backend.conversionProgress(30)
        backend.startConversion("job1.avi")
        backend.conversionComplete(true, "/in/job1.avi", "")
        compare([column("currentStatus"), column("newFileName"), page.conversionInProgress, page.overallDuration],
                [["complete", "wait", "wait"], ["job0", "job1", "job2"], false, 180])
        // The next run adds exactly one burn row again.
        backend.burnAnswers = ["/dev/sr0"]
        convert()
        compare(jobs.count, 4)
    }

    function test_clearCompleted() {
        addJobs(["complete", "error", "complete", "wait", "wait"])
        tabs.current = 2
        convertTab.clearCompleted.opacity = 1
        list.removeFromList(4)
        compare(fadeTarget(), 1)
        convertTab.clearCompletedRows()
        compare(column("fileName"), ["/in/job3.mkv"])
        compare([backend.count("removeFile"), page.overallDuration, fadeTarget()], [4, 60, 0.2])
        compare([list.isAllComplete(), convertTab.convertButton.enabled], [false, true])
        list.removeFromList(0)
        compare([tabs.current, list.isAllComplete()], [0, true])
    }

    // Formats 7 and 36 burn: a staging folder and a drive first, no drive
    // no run; after the conversions the burn row runs the burner.
    function test_burn_data() {
        return [
            { tag: "dvd", formatId: 7, drive: "/dev/sr0", disc: "dvd", source: "burn_dvd" },
            { tag: "audio cd", formatId: 36, drive: "/dev/sr1", disc: "cd", source: "burn_cd" },
            { tag: "drive choice cancelled", formatId: 7, drive: "", disc: "dvd" },
            { tag: "no disc", formatId: 2, drive: "", disc: "" }
        ]
    }

    function test_burn(data) {
        addJobs(["wait"])
        choose("-target pal-dvd", "mpg", data.formatId, 6)
        backend.burnAnswers = [data.drive]
        page.burnOutput = true
        convert()
        compare([page.burnOutput, backend.args("selectBurnDisc")], [!!data.disc, data.disc ? [[data.disc, 60]] : []])
        var started = data.drive !== "" || data.disc === ""
        compare([backend.args("incrementCount"), backend.count("startNewConversion"), page.conversionInProgress],
                started ? [[[data.formatId, 6]], 1, true] : [[], 0, false])
        if (data.disc === "")
            return
        verify(/^\d{1,9}$/.test(page.desTemp), page.desTemp)
        compare([backend.last("makeDir"), jobs.count], [[backend.tempFolder + page.desTemp], started ? 2 : 1])
        if (!started)
            return
        compare([jobs.get(1).source, jobs.get(1).fileName, page.overallDuration], [data.source, data.drive, 660])
        compare(backend.last("startNewConversion")[3], backend.tempFolder + page.desTemp + "/job0")
        backend.conversionComplete(true, "/out/job0.mpg", "")
        compare(backend.last("startBurnDisc"), [data.disc, data.drive, page.desTemp, ""])
        backend.burnProgress(50)
        backend.burnTextStatus("Burning")
        backend.burnEstTime("00:04:00")
        var burn = jobs.get(1)
        compare([burn.currentStatus, burn.newFileName, burn.duration], ["50%", "Burning", "00:04:00"])
        compare([convertTab.currentOverallProgress, fadeTarget()], [Math.floor((60 + 300) / 660 * 100), 1])
        backend.conversionComplete(true, "", "")
        // Both rows are complete: its ten minutes leave the total with it; its picture is no file.
        backend.calls = []
        convertTab.clearCompletedRows()
        compare([page.overallDuration, backend.count("removeFile")], [0, 1])
    }

    // Saved jobs come back as waiting rows with their choice, and are saved
    // again. A burn row keeps its staging folder and drive when Convert burns
    // the same kind of disc, moving behind the rows, and goes otherwise.
    function test_restoredJobs_data() {
        return [
            { tag: "same disc", formatId: 7, sources: ["file", "burn_dvd"], out: "/scratch/temp/42/renamed" },
            { tag: "other disc", formatId: 36, sources: ["file", "burn_cd"] },
            { tag: "no disc", formatId: 2, sources: ["file"] }
        ]
    }

    function test_restoredJobs(data) {
        var file = { fileName: "/in/a.mkv", loading: false, origFileName: "a.mkv", newFileName: "renamed",
                     origPathName: "/in/", duration: "00:01:00", videoCodec: "h264", audioCodec: "aac",
                     wxh: "320x240", thumbnail: "", finalOutput: "", source: "file" }
        var burn = Object.assign({}, file, { fileName: "/dev/sr0", newFileName: "Burning Phase", source: "burn_dvd",
                                             duration: "Waiting to burn...", finalOutput: "PAL 16:9" })
        store.restore([burn, file], { ffmpegArgs: "-target pal-dvd", outExt: "mpg", formatId: 7, desTemp: "42" })
        compare([column("newFileName"), page.ffmpegArgs, page.desTemp, page.overallDuration],
                [["Burning Phase", "renamed"], "-target pal-dvd", "42", 660])
        wait(0)
        compare(store.saved.jobs.map(job => job.newFileName), ["Burning Phase", "renamed"])
        page.formatId = data.formatId
        backend.burnAnswers = ["/dev/sr1"]
        convertTab.convert()
        compare(column("source"), data.sources)
        if (data.out)
            compare(backend.last("startNewConversion")[3], data.out)
        backend.conversionComplete(true, "/out/renamed.mpg", "")
        if (data.formatId === 7)
            compare(backend.last("startBurnDisc"), ["dvd", "/dev/sr0", "42", "PAL 16:9"])
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
        list.addBurn("burn_dvd", "/dev/sr0")
        compare(jobs.get(0).finalOutput, data.caption)
    }

    // Every keystroke lands in the row; an emptied name reverts to the base name.
    function test_nameEdit_data() {
        return [
            { tag: "enter", key: Qt.Key_Return, typed: "holiday", name: "holiday" },
            { tag: "escape", key: Qt.Key_Escape, typed: "holiday", name: "holiday" },
            { tag: "emptied", key: Qt.Key_Return, typed: "", name: "job0" },
            { tag: "click elsewhere", typed: "holiday", name: "holiday" }
        ]
    }

    function test_nameEdit(data) {
        addJobs(["wait", "wait"])
        waitForItemPolished(list.listView)
        mouseClick(findChild(findChild(list.listView, "row0"), "title"))
        var input = findChild(findChild(list.listView, "row0"), "nameInput")
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
