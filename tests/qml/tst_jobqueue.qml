import QtQuick
import QtTest

PageCase {
    name: "JobQueue"

    function init() {
        makePage()
    }

    function test_probeAnswersFillRowsInOrder() {
        backend.fileDropped(["/in/a.mkv", "/in/b.mp3"])
        compare(jobs.count, 2)
        compare(backend.callsTo("getFileInfo").map(function (c) { return c.args[0] }), ["/in/a.mkv", "/in/b.mp3"])
        verify(jobs.get(0).loading && jobs.get(1).loading)
        verify(!convertTab.convertButton.enabled)

        backend.fileInfoReady(probeInfo("/in/a.mkv", "00:01:05", thumbnails[0]),
                              ["h264 (High)", "yuv420p", "640x480 [SAR 1:1 DAR 4:3]", "25 fps"], ["aac (LC)"])
        var a = jobs.get(0)
        compare([a.loading, a.origFileName, a.origPathName, a.newFileName, a.duration, a.thumbnail],
                [false, "a.mkv", "/in/", "a", "00:01:05", thumbnails[0]])
        compare([a.videoCodec, a.wxh, a.audioCodec], ["h264 (High)", "640x480 [SAR 1:1 DAR 4:3]", "aac (LC)"])
        verify(jobs.get(1).loading)
        verify(convertTab.convertButton.enabled)
        compare(convertTab.convertButton.opacity, 1.0)

        backend.fileInfoReady(probeInfo("/in/b.mp3", "00:00:10"), [], ["mp3"])
        var b = jobs.get(1)
        compare([b.loading, b.newFileName, b.videoCodec, b.wxh, b.audioCodec], [false, "b", "", "", "mp3"])
        compare(page.overallDuration, 75)
    }

    // Colour details with commas of their own push the frame size along.
    function test_frameSizeFoundPastColourDetails() {
        backend.fileDropped(["/in/hd.mkv"])
        backend.fileInfoReady(probeInfo("/in/hd.mkv", "00:00:10"),
                              ["h264 (High)", "yuv420p(tv", "bt709", "progressive)", "1920x1080 [SAR 1:1]"], [])
        compare(jobs.get(0).wxh, "1920x1080 [SAR 1:1]")
    }

    function test_inputWithoutStreamsIsDroppedWithWarning() {
        backend.addDVD(["/rip/1/title1.vob", "/rip/1/title2.vob"], "01:30:00")
        backend.fileInfoReady(probeInfo("/rip/1/title1.vob", "00:00:00"), [], [])
        compare(jobs.count, 1)
        compare(backend.lastCall("warning").args[0],
                "FFmpeg is unable to extract any valid video or audio stream from the input file title1.vob."
                + "\n\nThis file has NOT been added to the Media List.")
        // The dropped row had never been counted.
        compare(page.overallDuration, 0)
        backend.fileInfoReady(probeInfo("/rip/1/title2.vob", "00:12:00"), ["mpeg2video"], [])
        compare(jobs.get(0).duration, "01:30:00")
        compare(jobs.get(0).source, "dvd")
        compare(page.overallDuration, 5400)
    }

    function test_answerWithoutLoadingRowIsIgnored() {
        backend.fileInfoReady(probeInfo("/in/x.mkv", "00:00:10"), ["h264"], [])
        compare(jobs.count, 0)
        compare(backend.countOf("warning"), 0)
    }

    function test_unparsableDurationCountsNothing_data() {
        return [
            { tag: "text", duration: "N/A, sta", total: 0 },
            { tag: "empty", duration: "", total: 0 },
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
        return [
            { tag: "file beside input", source: "file", same: true, outPath: "", burn: false,
              path: "/in/dir/clip.mkv", out: "/in/dir/clip" },
            { tag: "file to chosen folder", source: "file", same: false, outPath: "/out/", burn: false,
              path: "/in/dir/clip.mkv", out: "/out/clip" },
            { tag: "dvd to video folder", source: "dvd", same: true, outPath: "", burn: false,
              path: "/tmp/rip/title1.vob", out: "/home/user/Videos/title1" },
            { tag: "dvd to chosen folder", source: "dvd", same: false, outPath: "/out/", burn: false,
              path: "/tmp/rip/title1.vob", out: "/out/title1" },
            { tag: "cd to chosen folder", source: "cd", same: false, outPath: "/out/", burn: false,
              path: "/t/1371000000/Track 01.wav", out: "/out/Track 01" },
            { tag: "burn staging folder", source: "file", same: true, outPath: "", burn: true,
              path: "/in/dir/clip.mkv", out: "/scratch/appdata/MediaForgeStudio/temp/4711/clip" }
        ]
    }

    function test_outputPath(data) {
        addRows([{ path: data.path, duration: "00:00:30", source: data.source }])
        formatTab.outputSameFolder.checked = data.same
        page.outPath = data.outPath
        choose("-s 640x480 -vcodec mpeg4", "avi", 3, 9)
        page.burnOutput = data.burn
        page.desTemp = "4711"
        list.current = 0
        backend.clearCalls()
        page.startNextConversion()
        var slash = data.path.lastIndexOf("/")
        compare(backend.lastCall("startNewConversion").args,
                [data.path.substring(0, slash + 1) + data.path.substring(slash + 1), "-s 640x480 -vcodec mpeg4",
                 "320x240", data.out, "avi"])
        verify(page.conversionInProgress)
    }

    function test_audioOnlyHasNoAspect() {
        addRows([{ path: "/in/song.flac", duration: "00:03:00", video: [] }])
        choose("-vn -acodec libmp3lame", "mp3", 2, 4)
        convert()
        compare(backend.lastCall("startNewConversion").args[2], "")
    }

    // Tracks of one rip share an album folder in the music folder, also over
    // several runs; another rip gets its own.
    function test_albumFolderPerRip() {
        choose("-vn", "mp3", 2, 4)
        addRows([{ path: "/t/1371000000/Track 01.wav", duration: "00:03:00", source: "cd", video: [] },
                 { path: "/t/1371000000/Track 02.wav", duration: "00:03:00", source: "cd", video: [] }])
        convert()
        backend.conversionComplete(true, "/m/one.mp3", "")
        backend.conversionComplete(true, "/m/two.mp3", "")
        var outs = backend.callsTo("startNewConversion").map(function (c) { return c.args[3] })
        compare(backend.countOf("makeDir"), 1)
        var album = backend.lastCall("makeDir").args[0].substring("/home/user/Music/".length)
        verify(/^Album \d{4}-[1-9]\d?-[1-9]\d? \d{1,2}-\d{1,2}-\d{1,2}$/.test(album), album)
        compare(outs, ["/home/user/Music/" + album + "/Track 01", "/home/user/Music/" + album + "/Track 02"])

        addRows([{ path: "/t/1371000000/Track 03.wav", duration: "00:03:00", source: "cd", video: [] }])
        convert()
        compare(backend.countOf("makeDir"), 0)
        compare(backend.lastCall("startNewConversion").args[3], "/home/user/Music/" + album + "/Track 03")
        backend.conversionComplete(true, "/m/three.mp3", "")

        addRows([{ path: "/t/1372000000/Track 01.wav", duration: "00:03:00", source: "cd", video: [] }])
        convert()
        compare(backend.countOf("makeDir"), 1)
        compare(page.srcTemp, "1372000000")
    }

    function test_finishedRowsAreSkipped() {
        addJobs(["complete", "error", "wait"])
        jobs.setProperty(0, "finalOutput", "/in/job0.avi")
        jobs.setProperty(1, "finalOutput", "/tmp/part.avi")
        jobs.setProperty(1, "errorMsg", "Unknown encoder")
        choose("-vcodec mpeg4", "avi", 3, 9)
        convert()
        compare(backend.countOf("startNewConversion"), 1)
        compare(backend.lastCall("startNewConversion").args[0], "/in/job2.mkv")
        compare(list.current, 2)
        compare(jobs.get(0).finalOutput, "/in/job0.avi")
        compare([jobs.get(1).errorMsg, jobs.get(1).finalOutput], ["Unknown encoder", "/tmp/part.avi"])
    }

    function test_completion_data() {
        return [
            { tag: "ok", quitOk: true, message: "", status: "complete", removed: 0 },
            { tag: "failed", quitOk: false, message: "Unknown encoder 'x'", status: "error", removed: 1 }
        ]
    }

    function test_completion(data) {
        addJobs(["wait", "wait"])
        choose("-vcodec mpeg4", "avi", 3, 9)
        convert()
        backend.startConversion("job0 (New).avi")
        compare(jobs.get(0).newFileName, "job0 (New).avi")
        backend.conversionComplete(data.quitOk, "/in/job0 (New).avi", data.message)
        compare(jobs.get(0).currentStatus, data.status)
        compare(jobs.get(0).errorMsg, data.message)
        compare(jobs.get(0).finalOutput, "/in/job0 (New).avi")
        compare(backend.callsTo("removeFile").length, data.removed)
        compare(fadeTarget(convertTab), 1.0)
        compare(list.current, 1)
        compare(backend.lastCall("startNewConversion").args[0], "/in/job1.mkv")

        backend.conversionComplete(true, "/in/job1.avi", "")
        verify(!page.conversionInProgress)
        compare(list.current, 0)
        compare(convertTab.currentOverallProgress, 100)
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
        choose("-vcodec mpeg4", "avi", 3, 9)
        convert()
        backend.conversionProgress(data.time)
        compare(jobs.get(0).currentStatus, data.status)
    }

    function test_removal_data() {
        return [
            { tag: "below the running row", index: 2, answer: false, statuses: ["complete", "45%"],
              current: 1, asked: 0, stopped: 0 },
            { tag: "above the running row", index: 0, answer: false, statuses: ["45%", "wait"],
              current: 0, asked: 0, stopped: 0 },
            { tag: "running row, answered no", index: 1, answer: false, statuses: ["complete", "45%", "wait"],
              current: 1, asked: 1, stopped: 0 },
            { tag: "running row, answered yes", index: 1, answer: true, statuses: ["complete", "remove", "wait"],
              current: 1, asked: 1, stopped: 1 }
        ]
    }

    function test_removal(data) {
        addJobs(["complete", "wait", "wait"])
        choose("-vcodec mpeg4", "avi", 3, 9)
        convert()
        backend.conversionProgress(27)
        backend.yesnoAnswers = [data.answer]
        backend.clearCalls()
        list.removeFromList(data.index)
        compare(statuses(), data.statuses)
        compare(list.current, data.current)
        compare(backend.countOf("yesno"), data.asked)
        compare(backend.countOf("stopConversion"), data.stopped)
        compare(backend.countOf("startNewConversion"), 0)
        if (data.asked)
            compare(backend.lastCall("yesno").args[0], "Are you sure you want to stop this conversion?")
        var removedNow = data.statuses.length < 3 || data.stopped
        compare(backend.countOf("removeFile"), removedNow ? 1 : 0)
        compare(page.overallDuration, removedNow ? 120 : 180)
    }

    // After "yes" the runner reports the stop; the next row takes over.
    function test_removedRowGoesOnCancelReport() {
        addJobs(["wait", "wait"])
        choose("-vcodec mpeg4", "avi", 3, 9)
        convert()
        backend.yesnoAnswers = [true]
        list.removeFromList(0)
        backend.clearCalls()
        backend.conversionCancelled()
        compare(jobs.count, 1)
        compare(backend.lastCall("startNewConversion").args[0], "/in/job1.mkv")
        verify(page.conversionInProgress)
    }

    function test_cancelReportOnLastRow_data() {
        return [
            { tag: "only row", rows: ["wait"], tab: 0 },
            { tag: "last of two", rows: ["complete", "wait"], tab: 2 }
        ]
    }

    function test_cancelReportOnLastRow(data) {
        addJobs(data.rows)
        choose("-vcodec mpeg4", "avi", 3, 9)
        tabs.current = 2
        convert()
        backend.yesnoAnswers = [true]
        list.removeFromList(data.rows.length - 1)
        backend.conversionCancelled()
        compare(jobs.count, data.rows.length - 1)
        verify(!page.conversionInProgress)
        compare(tabs.current, data.tab)
    }

    function test_jobFinishesDuringQuestion_data() {
        return [
            { tag: "next job started", rows: ["wait", "wait"], statuses: ["complete", "wait"], running: true },
            { tag: "run ended", rows: ["wait"], statuses: ["complete"], running: false }
        ]
    }

    function test_jobFinishesDuringQuestion(data) {
        addJobs(data.rows)
        choose("-vcodec mpeg4", "avi", 3, 9)
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
    function test_lateReportsAfterWholeCancel() {
        addJobs(["complete", "wait", "wait"])
        choose("-vcodec mpeg4", "avi", 3, 9)
        convert()
        backend.yesnoAnswers = [true]
        verify(convertTab.cancelWholeConversion())
        backend.clearCalls()
        backend.conversionProgress(30)
        backend.startConversion("job1.avi")
        backend.conversionComplete(true, "/in/job1.avi", "")
        backend.conversionCancelled()
        compare(statuses(), ["complete", "wait", "wait"])
        compare(jobs.get(1).newFileName, "job1")
        compare(backend.countOf("startNewConversion"), 0)
        verify(!page.conversionInProgress)
    }

    function test_lateReportsForRemovedRow() {
        addJobs(["wait", "wait"])
        choose("-vcodec mpeg4", "avi", 3, 9)
        convert()
        backend.yesnoAnswers = [true]
        list.removeFromList(0)
        backend.clearCalls()
        backend.conversionProgress(40)
        compare(jobs.get(0).currentStatus, "remove")
        // The job ended before it saw the stop: the removal still goes ahead.
        backend.conversionComplete(true, "/in/job0.avi", "")
        compare(jobs.count, 1)
        compare(backend.lastCall("startNewConversion").args[0], "/in/job1.mkv")
    }

    function test_isAllComplete_data() {
        return [
            { tag: "empty", statuses: [], all: true },
            { tag: "complete and error", statuses: ["complete", "error"], all: true },
            { tag: "one waiting", statuses: ["complete", "wait"], all: false },
            { tag: "one running", statuses: ["error", "12%"], all: false }
        ]
    }

    function test_isAllComplete(data) {
        addJobs(data.statuses)
        compare(list.isAllComplete(), data.all)
        compare(convertTab.convertButton.enabled, !data.all)
        compare(convertTab.convertButton.opacity, data.all ? 0.2 : 1.0)
    }

    function test_clearCompleted() {
        addJobs(["complete", "error", "complete", "wait"])
        convertTab.clearCompleted.opacity = 1
        backend.clearCalls()
        convertTab.clearCompletedRows()
        compare(statuses(), ["wait"])
        compare(jobs.get(0).fileName, "/in/job3.mkv")
        compare(backend.callsTo("removeFile").map(function (c) { return c.args[0] }).sort(),
                thumbnails.slice(0, 3).sort())
        compare(page.overallDuration, 60)
        compare(fadeTarget(convertTab), 0.2)
    }

    function test_removingLastCompleteRowDimsClearCompleted() {
        addJobs(["complete", "error"])
        tabs.current = 1
        convertTab.clearCompleted.opacity = 1
        list.removeFromList(1)
        compare(fadeTarget(convertTab), 1)
        list.removeFromList(0)
        compare(fadeTarget(convertTab), 0.2)
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

        list.current = 0
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
        verify(!page.conversionInProgress)

        // Its ten minutes leave the total with it.
        convertTab.clearCompletedRows()
        compare(page.overallDuration, 0)
        compare(backend.callsTo("removeFile").filter(function (c) { return c.args[0] === "images/burningthumb.png" }).length, 0)
    }

    // The burner needs the preset's caption (PAL or NTSC) even when no tile is selected.
    function test_burnCaption_data() {
        return [
            { tag: "selected tile", select: true, edit: false, otherPage: false, outputId: 7, caption: "NTSC 16:9" },
            { tag: "arguments edited", select: true, edit: true, otherPage: false, outputId: 7, caption: "NTSC 16:9" },
            { tag: "other output page shown", select: true, edit: false, otherPage: true, outputId: 7, caption: "NTSC 16:9" },
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
