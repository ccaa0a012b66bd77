import QtQuick
import QtTest

PageCase {
    name: "JobQueue"

    function init() {
        makePage()
    }

    function test_probeAnswersFillRowsInOrder() {
        backend.fileDropped(["/in/a.mkv", "/in/b.mp3"])
        compare(backend.callsTo("getFileInfo").map(function (c) { return c.args[0] }), ["/in/a.mkv", "/in/b.mp3"])
        verify(jobs.get(0).loading && jobs.get(1).loading && !convertTab.convertButton.enabled)

        backend.fileInfoReady(probeInfo("/in/a.mkv", "00:01:05", thumbnails[0]),
                              ["h264 (High)", "yuv420p", "640x480 [SAR 1:1 DAR 4:3]", "25 fps"], ["aac (LC)"])
        var a = jobs.get(0)
        compare([a.loading, a.origFileName, a.origPathName, a.newFileName, a.duration, a.thumbnail, a.videoCodec,
                 a.wxh, a.audioCodec], [false, "a.mkv", "/in/", "a", "00:01:05", thumbnails[0], "h264 (High)",
                                        "640x480 [SAR 1:1 DAR 4:3]", "aac (LC)"])
        verify(jobs.get(1).loading && convertTab.convertButton.enabled)

        backend.fileInfoReady(probeInfo("/in/b.mp3", "00:00:10"), [], ["mp3"])
        var b = jobs.get(1)
        compare([b.loading, b.newFileName, b.videoCodec, b.wxh, b.audioCodec], [false, "b", "", "", "mp3"])
        compare(page.overallDuration, 75)
    }

    function test_inputWithoutStreamsIsDroppedWithWarning() {
        backend.addDVD(["/rip/1/title1.vob", "/rip/1/title2.vob"], "01:30:00")
        backend.fileInfoReady(probeInfo("/rip/1/title1.vob", "00:00:00"), [], [])
        compare(jobs.count, 1)
        compare(backend.lastCall("warning").args[0],
                "FFmpeg is unable to extract any valid video or audio stream from the input file title1.vob."
                + "\n\nThis file has NOT been added to the Media List.")
        // The dropped row had never been counted; a DVD row keeps its title length.
        compare(page.overallDuration, 0)
        backend.fileInfoReady(probeInfo("/rip/1/title2.vob", "00:12:00"), ["mpeg2video"], [])
        compare([jobs.get(0).duration, jobs.get(0).source, page.overallDuration], ["01:30:00", "dvd", 5400])
    }

    function test_unparsableDurationCountsNothing_data() {
        return [
            { tag: "text", duration: "N/A, sta", total: 0 },
            { tag: "time", duration: "01:02:03", total: 3723 }
        ]
    }

    function test_unparsableDurationCountsNothing(data) {
        addRows([{ path: "/in/a.mkv", duration: data.duration }])
        compare(page.overallDuration, data.total)
        list.removeFromList(0)
        compare(page.overallDuration, 0)
    }

    function test_outputPath_data() {
        var temp = "/scratch/appdata/MediaForgeStudio/temp/"
        return [
            { tag: "file beside input", source: "file", same: true, burn: false, path: "/in/dir/clip.mkv",
              out: "/in/dir/clip", aspect: "320x240" },
            { tag: "file to chosen folder", source: "file", same: false, burn: false, path: "/in/dir/clip.mkv",
              out: "/out/clip", aspect: "320x240" },
            { tag: "audio only", source: "file", same: true, burn: false, path: "/in/song.flac", video: [],
              out: "/in/song", aspect: "" },
            { tag: "dvd to video folder", source: "dvd", same: true, burn: false, path: "/tmp/rip/title1.vob",
              out: "/home/user/Videos/title1", aspect: "320x240" },
            { tag: "dvd to chosen folder", source: "dvd", same: false, burn: false, path: "/tmp/rip/title1.vob",
              out: "/out/title1", aspect: "320x240" },
            { tag: "cd to chosen folder", source: "cd", same: false, burn: false, path: "/t/1371000000/Track 01.wav",
              out: "/out/Track 01", aspect: "320x240" },
            { tag: "burn staging folder", source: "file", same: true, burn: true, path: "/in/dir/clip.mkv",
              out: temp + "4711/clip", aspect: "320x240" }
        ]
    }

    function test_outputPath(data) {
        addRows([{ path: data.path, duration: "00:00:30", source: data.source, video: data.video }])
        formatTab.outputSameFolder.checked = data.same
        page.outPath = data.same ? "" : "/out/"
        choose("-s 640x480 -vcodec mpeg4", "avi", 3, 9)
        page.burnOutput = data.burn
        page.desTemp = "4711"
        page.startNextConversion()
        compare(backend.lastCall("startNewConversion").args,
                [data.path, "-s 640x480 -vcodec mpeg4", data.aspect, data.out, "avi"])
        verify(page.conversionInProgress)
    }

    // Tracks of one rip share an album folder in the music folder, also over
    // several runs; another rip gets its own.
    function test_albumFolderPerRip() {
        var rip = "/t/1371000000/"
        addRows([{ path: rip + "Track 01.wav", duration: "00:03:00", source: "cd" },
                 { path: rip + "Track 02.wav", duration: "00:03:00", source: "cd" }])
        convert()
        backend.conversionComplete(true, "/m/1.avi", "")
        compare(backend.countOf("makeDir"), 1)
        var album = backend.lastCall("makeDir").args[0].substring("/home/user/Music/".length)
        verify(/^Album \d{4}-[1-9]\d?-[1-9]\d? \d{1,2}-\d{1,2}-\d{1,2}$/.test(album), album)
        compare(backend.lastCall("startNewConversion").args[3], "/home/user/Music/" + album + "/Track 02")
        backend.conversionComplete(true, "/m/2.avi", "")

        addRows([{ path: rip + "Track 03.wav", duration: "00:03:00", source: "cd" }])
        convert()
        compare(backend.countOf("makeDir"), 0)
        compare(backend.lastCall("startNewConversion").args[3], "/home/user/Music/" + album + "/Track 03")
        backend.conversionComplete(true, "/m/3.avi", "")

        addRows([{ path: "/t/1372000000/Track 01.wav", duration: "00:03:00", source: "cd" }])
        convert()
        compare([backend.countOf("makeDir"), page.srcTemp], [1, "1372000000"])
    }

    function test_finishedRowsAreSkipped() {
        addJobs(["complete", "error", "wait"])
        jobs.setProperty(0, "finalOutput", "/in/job0.avi")
        jobs.setProperty(1, "finalOutput", "/tmp/part.avi")
        jobs.setProperty(1, "errorMsg", "Unknown encoder")
        convert()
        compare(backend.callsTo("startNewConversion").map(function (c) { return c.args[0] }), ["/in/job2.mkv"])
        compare(list.current, 2)
        compare([jobs.get(0).finalOutput, jobs.get(1).errorMsg, jobs.get(1).finalOutput],
                ["/in/job0.avi", "Unknown encoder", "/tmp/part.avi"])
    }

    function test_completion_data() {
        return [
            { tag: "ok", quitOk: true, message: "", status: "complete", removed: 0 },
            { tag: "failed", quitOk: false, message: "Unknown encoder 'x'", status: "error", removed: 1 }
        ]
    }

    function test_completion(data) {
        addJobs(["wait", "wait"])
        convert()
        backend.startConversion("job0 (New).avi")
        compare(jobs.get(0).newFileName, "job0 (New).avi")
        backend.conversionComplete(data.quitOk, "/in/job0 (New).avi", data.message)
        var row = jobs.get(0)
        compare([row.currentStatus, row.errorMsg, row.finalOutput], [data.status, data.message, "/in/job0 (New).avi"])
        compare(backend.countOf("removeFile"), data.removed)
        compare(fadeTarget(convertTab), 1.0)
        compare(backend.lastCall("startNewConversion").args[0], "/in/job1.mkv")

        backend.conversionComplete(true, "/in/job1.avi", "")
        verify(!page.conversionInProgress)
        compare([list.current, convertTab.currentOverallProgress], [0, 100])
        verify(!convertTab.convertButton.enabled)
    }

    function test_progress_data() {
        return [
            { tag: "half", duration: "00:01:40", time: 50, status: "50%" },
            { tag: "rounded down", duration: "00:00:03", time: 2, status: "66%" },
            { tag: "past the end", duration: "00:01:40", time: 150, status: "100%" },
            { tag: "unparsable", duration: "N/A", time: 20, status: "0%" },
            { tag: "zero of zero", duration: "00:00:00", time: 0, status: "0%" }
        ]
    }

    function test_progress(data) {
        addRows([{ path: "/in/a.mkv", duration: data.duration }])
        convert()
        backend.conversionProgress(data.time)
        compare(jobs.get(0).currentStatus, data.status)
    }

    // Rows "complete", running at 45%, "wait" of a minute each.
    function test_removal_data() {
        return [
            { tag: "below the running row", index: 2, answer: false, statuses: ["complete", "45%"], current: 1,
              asked: 0, stopped: 0, total: 120 },
            { tag: "above the running row", index: 0, answer: false, statuses: ["45%", "wait"], current: 0,
              asked: 0, stopped: 0, total: 120 },
            { tag: "running row, answered no", index: 1, answer: false, statuses: ["complete", "45%", "wait"],
              current: 1, asked: 1, stopped: 0, total: 180 },
            { tag: "running row, answered yes", index: 1, answer: true, statuses: ["complete", "remove", "wait"],
              current: 1, asked: 1, stopped: 1, total: 120 }
        ]
    }

    function test_removal(data) {
        addJobs(["complete", "wait", "wait"])
        convert()
        backend.conversionProgress(27)
        backend.yesnoAnswers = [data.answer]
        backend.clearCalls()
        list.removeFromList(data.index)
        compare(statuses(), data.statuses)
        compare([list.current, backend.countOf("yesno"), backend.countOf("stopConversion")],
                [data.current, data.asked, data.stopped])
        compare(backend.countOf("startNewConversion"), 0)
        compare(page.overallDuration, data.total)
    }

    // After "yes" the runner reports the stop and the row goes.
    function test_cancelReport_data() {
        return [
            { tag: "next row takes over", rows: ["wait", "wait"], index: 0, running: true, tab: 2 },
            { tag: "only row", rows: ["wait"], index: 0, running: false, tab: 0 },
            { tag: "last row", rows: ["complete", "wait"], index: 1, running: false, tab: 2 }
        ]
    }

    function test_cancelReport(data) {
        addJobs(data.rows)
        tabs.current = 2
        convert()
        backend.yesnoAnswers = [true]
        list.removeFromList(data.index)
        backend.clearCalls()
        backend.conversionCancelled()
        compare([jobs.count, page.conversionInProgress, tabs.current], [data.rows.length - 1, data.running, data.tab])
        compare(backend.countOf("startNewConversion"), data.running ? 1 : 0)
    }

    function test_jobFinishesDuringQuestion_data() {
        return [
            { tag: "next job started", rows: ["wait", "wait"], statuses: ["complete", "wait"], running: true },
            { tag: "run ended", rows: ["wait"], statuses: ["complete"], running: false }
        ]
    }

    function test_jobFinishesDuringQuestion(data) {
        addJobs(data.rows)
        convert()
        backend.yesnoAnswers = [true]
        backend.duringQuestion = function () { backend.conversionComplete(true, "/in/job0.avi", "") }
        backend.clearCalls()
        list.removeFromList(0)
        compare(backend.lastCall("warning").args[0], "Conversion already finished")
        compare(backend.countOf("stopConversion"), 0)
        compare(statuses(), data.statuses)
        compare(page.conversionInProgress, data.running)
    }

    // Reports already on their way when a job is stopped must not touch the rows.
    function test_lateReports_data() {
        return [
            { tag: "after cancelling the run", removeRow: false, statuses: ["complete", "wait", "wait"], started: 0 },
            { tag: "after removing the row", removeRow: true, statuses: ["complete", "wait"], started: 1 }
        ]
    }

    function test_lateReports(data) {
        addJobs(["complete", "wait", "wait"])
        convert()
        backend.yesnoAnswers = [true]
        if (data.removeRow)
            list.removeFromList(1)
        else
            convertTab.cancelWholeConversion()
        backend.clearCalls()
        backend.conversionProgress(30)
        backend.startConversion("job1.avi")
        // A job that ended before it saw the stop: a removal still goes ahead.
        backend.conversionComplete(true, "/in/job1.avi", "")
        compare(statuses(), data.statuses)
        compare(jobs.get(1).newFileName, data.removeRow ? "job2" : "job1")
        compare(backend.countOf("startNewConversion"), data.started)
    }

    function test_isAllComplete_data() {
        return [
            { tag: "empty", statuses: [], all: true },
            { tag: "complete and error", statuses: ["complete", "error"], all: true },
            { tag: "one waiting", statuses: ["complete", "wait"], all: false }
        ]
    }

    function test_isAllComplete(data) {
        addJobs(data.statuses)
        compare(list.isAllComplete(), data.all)
        compare([convertTab.convertButton.enabled, convertTab.convertButton.opacity], data.all ? [false, 0.2] : [true, 1])
    }

    function test_clearCompleted() {
        addJobs(["complete", "error", "complete", "wait"])
        tabs.current = 2
        convertTab.clearCompleted.opacity = 1
        backend.clearCalls()
        list.removeFromList(1)
        compare(fadeTarget(convertTab), 1)
        convertTab.clearCompletedRows()
        compare(statuses(), ["wait"])
        compare(jobs.get(0).fileName, "/in/job3.mkv")
        compare(backend.callsTo("removeFile").map(function (c) { return c.args[0] }).sort(), thumbnails.slice(0, 3).sort())
        compare([page.overallDuration, fadeTarget(convertTab)], [60, 0.2])
        list.removeFromList(0)
        compare(tabs.current, 0)
    }

    function test_burnRow() {
        addJobs(["wait"])
        formatTab.outputModel.append({ gFormatId: "7", gOutputId: "6", gIconImage: "", gIconText: "PAL 16:9",
                                       gArgList: "-target pal-dvd", gAssociatedExt: "mpg", gId: "6" })
        formatTab.choosePreset(0)
        page.burnOutput = true
        page.desTemp = "99"
        list.addBurn("burn_dvd", "/dev/sr0")
        var burn = jobs.get(1)
        compare([burn.fileName, burn.newFileName, burn.duration, burn.thumbnail, burn.finalOutput, burn.loading],
                ["/dev/sr0", "Burning Phase", "Waiting to burn...", "images/burningthumb.png", "PAL 16:9", false])
        compare(page.overallDuration, 660)

        page.startNextConversion()
        backend.conversionComplete(true, "/temp/99/job0.mpg", "")
        compare(backend.lastCall("startBurnDisc").args, ["dvd", "/dev/sr0", "99", "PAL 16:9"])
        backend.burnProgress(50)
        backend.burnTextStatus("Burning")
        backend.burnEstTime("00:04:00")
        burn = jobs.get(1)
        compare([burn.currentStatus, burn.newFileName, burn.duration], ["50%", "Burning", "00:04:00"])
        compare(convertTab.currentOverallProgress, Math.floor((60 + 300) / 660 * 100))
        backend.conversionComplete(true, "", "")
        compare(jobs.get(1).currentStatus, "complete")

        // Its ten minutes leave the total with it; its picture is no file.
        backend.clearCalls()
        convertTab.clearCompletedRows()
        compare([page.overallDuration, backend.countOf("removeFile")], [0, 1])
    }

    // The burner needs the preset's caption (PAL or NTSC) even when no tile is selected.
    function test_burnCaption_data() {
        return [
            { tag: "selected tile", select: true, edit: false, otherPage: false, outputId: 7, caption: "NTSC 16:9" },
            { tag: "arguments edited", select: true, edit: true, otherPage: false, outputId: 7, caption: "NTSC 16:9" },
            { tag: "other page shown", select: true, edit: false, otherPage: true, outputId: 7, caption: "NTSC 16:9" },
            { tag: "unknown preset", select: false, edit: false, otherPage: false, outputId: 42, caption: "" }
        ]
    }

    function test_burnCaption(data) {
        backend.outputModels = {
            "7": ["6", "PAL 16:9", "7", "", "mpg", "0", "1", "", "-target pal-dvd",
                  "7", "NTSC 16:9", "7", "", "mpg", "0", "2", "", "-target ntsc-dvd"],
            "2": ["4", "128", "2", "", "mp3", "0", "1", "", "-vn"]
        }
        formatTab.addIconsToOutputPage("7", "DVD", false)
        if (data.select)
            formatTab.choosePreset(1)
        page.formatId = 7
        page.outputId = data.outputId
        if (data.edit)
            formatTab.outputSelected = -1
        if (data.otherPage)
            formatTab.addIconsToOutputPage("2", "MP3", false)
        list.addBurn("burn_dvd", "/dev/sr0")
        compare(jobs.get(0).finalOutput, data.caption)
    }
}
