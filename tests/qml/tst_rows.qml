import QtQuick
import QtTest

// What a user does on the rows themselves: names, ticks, marks, scrolling.
PageCase {
    name: "Rows"

    function init() {
        makePage()
    }

    function row(index) {
        waitForItemPolished(list.listView)
        return findChild(list.listView, "row" + index)
    }

    function titleOf(index) {
        return findChild(row(index), "title")
    }

    function test_nameEdit_data() {
        return [
            { tag: "enter", keys: [Qt.Key_Return], typed: "holiday", name: "holiday" },
            { tag: "escape", keys: [Qt.Key_Escape], typed: "holiday", name: "holiday" },
            { tag: "emptied", keys: [Qt.Key_Return], typed: "", name: "job0" },
            { tag: "click elsewhere", keys: [], typed: "holiday", name: "holiday" }
        ]
    }

    function test_nameEdit(data) {
        addJobs(["wait", "wait"])
        mouseClick(titleOf(0))
        verify(jobs.get(0).selected)
        verify(!list.listView.interactive)
        var input = findChild(row(0), "nameInput")
        verify(input.activeFocus)
        compare(input.selectedText, "job0")
        keyClick(Qt.Key_Delete)
        for (var i = 0; i < data.typed.length; ++i)
            keyClick(data.typed[i])
        // Every change lands in the row at once.
        compare(jobs.get(0).newFileName, data.typed)
        if (data.keys.length > 0)
            keyClick(data.keys[0])
        else
            mouseClick(page, 600, 530)
        verify(!jobs.get(0).selected)
        verify(list.listView.interactive)
        compare(jobs.get(0).newFileName, data.name)
    }

    function test_nameNotEditable_data() {
        return [
            { tag: "complete", status: "complete", running: false },
            { tag: "error", status: "error", running: false },
            { tag: "during a run", status: "wait", running: true }
        ]
    }

    function test_nameNotEditable(data) {
        addJobs(["complete", data.status, "wait"])
        if (data.running) {
            choose("-vn", "mp3", 2, 4)
            convert()
        }
        mouseClick(titleOf(1))
        verify(!jobs.get(1).selected)
    }

    function test_completedTick_data() {
        return [
            { tag: "file row", burn: false, call: "openFolder", arg: "/out/job0.avi" },
            { tag: "burn row", burn: true, call: "playDisc", arg: "/dev/sr0" }
        ]
    }

    function test_completedTick(data) {
        if (data.burn)
            list.addBurn("burn_dvd", "/dev/sr0")
        else
            addJobs(["wait"])
        jobs.setProperty(0, "currentStatus", "complete")
        jobs.setProperty(0, "finalOutput", "/out/job0.avi")
        var tick = findChild(row(0), "completed")
        compare(tick.Accessible.name, data.burn ? "Play Disc" : "Open Containing Folder")
        mouseClick(tick)
        compare(backend.lastCall(data.call).args, [data.arg])
        compare(findChild(row(0), "remove").visible, !data.burn)
    }

    // A hint that would reach past the list's right edge ends one pixel inside it.
    function test_errorTipStaysInsideList() {
        addJobs(["error"])
        jobs.setProperty(0, "errorMsg", "Unknown encoder 'libfoo'")
        var mark = findChild(row(0), "error")
        var tip = findChild(mark, "errorTip")
        mouseMove(mark, mark.width / 2, mark.height / 2)
        tryCompare(tip, "showToolTip", true)
        var box = findChild(mark, "errorTipBox")
        compare(box.x + box.width, list.width - 1)
        compare(box.y, mark.mapToItem(list, 0, mark.height).y)
        mouseMove(page, 10, 300)
        compare(tip.showToolTip, false)
    }

    function test_scrollBar_data() {
        return [
            { tag: "fits", rows: 3, visible: false, slider: 0 },
            { tag: "five rows", rows: 5, visible: true, slider: -1 },
            { tag: "seventeen times taller", rows: 80, visible: true, slider: 32 }
        ]
    }

    function test_scrollBar(data) {
        var statuses = []
        for (var i = 0; i < data.rows; ++i)
            statuses.push("wait")
        addJobs(statuses)
        waitForItemPolished(list.listView)
        var bar = list.scrollBar
        compare(bar.visible, data.visible)
        if (!data.visible)
            return
        var slider = findChild(bar, "slider")
        if (data.slider > 0)
            compare(slider.height, data.slider)
        else
            verify(slider.height > 32 && slider.height < bar.height)

        // Hovering the list shows the bar; paging below the slider scrolls down.
        mouseMove(list, 100, 100)
        tryCompare(bar, "opacity", 1)
        mousePress(bar, 16, bar.height - 4)
        tryVerify(function () { return list.listView.atYEnd })
        mouseRelease(bar, 16, bar.height - 4)
        mousePress(bar, 16, 4)
        tryVerify(function () { return list.listView.atYBeginning })
        mouseRelease(bar, 16, 4)

        // On a long list the dragged slider sets the view's position.
        if (data.slider !== 32)
            return
        var view = list.listView
        mouseDrag(slider, 10, 10, 0, 100)
        verify(slider.y > 90)
        fuzzyCompare(view.contentY - view.originY, slider.y * view.contentHeight / slider.parent.height, 1)
    }

}
