import QtQuick

// Stands in for the backend object: records every call, answers boxes and
// dialogs from queued answers and emits the backend's signals on demand.
QtObject {
    id: backend

    readonly property string separator: "/"

    // Every call as { name, args }.
    property var calls: []

    // Catalogue lists, flat as the backend hands them over.
    property var addModel: ["1", "Audio", "", "images/icons/audio.png", "Add Audio Files", "Audio (*.mp3)",
                            "2", "Video", "", "images/icons/video.png", "Add Video Files", "Video (*.mp4)"]
    property var deviceModel: []
    property var formatModel: []
    // Preset lists by device or format id.
    property var outputModels: ({})

    // Queued answers; an empty queue answers No, cancel or "".
    property var yesnoAnswers: []
    property var fileAnswers: []
    property var folderAnswers: []
    property var burnAnswers: []
    // Runs inside yesno, as if signals arrived while the question was open.
    property var duringQuestion: null

    property string tempFolder: "/scratch/appdata/MediaForgeStudio/temp/"
    property string musicFolder: "/home/user/Music/"
    property string videoFolder: "/home/user/Videos/"

    signal fileDropped(var file)
    signal fileInfoReady(var fileInfo, var fileVideoInfo, var fileAudioInfo)
    signal startConversion(string outFileName)
    signal conversionProgress(int time)
    signal conversionComplete(bool quitOk, string finalOutput, string errorMsg)
    signal conversionCancelled()
    signal addAudioFile()
    signal addVideoFile()
    signal addAudioCD(var filename)
    signal addDVD(var filename, string length)
    signal burnProgress(int progress)
    signal burnTextStatus(string status)
    signal burnEstTime(string time)

    function record(name, args) {
        calls.push({ name: name, args: Array.prototype.slice.call(args) })
    }

    function callsTo(name) {
        return calls.filter(function (c) { return c.name === name })
    }

    function lastCall(name) {
        var found = callsTo(name)
        return found.length > 0 ? found[found.length - 1] : null
    }

    function countOf(name) {
        return callsTo(name).length
    }

    function clearCalls() {
        calls = []
    }

    function showMaximized() { record("showMaximized", arguments) }
    function showNormal() { record("showNormal", arguments) }
    function showMinimized() { record("showMinimized", arguments) }
    function getAddModel() { record("getAddModel", arguments); return addModel }
    function getDeviceModel() { record("getDeviceModel", arguments); return deviceModel }
    function getFormatModel() { record("getFormatModel", arguments); return formatModel }
    function getOutputModel(id) {
        record("getOutputModel", arguments)
        return outputModels[id] === undefined ? [] : outputModels[id]
    }
    function incrementCount(formatId, outputId) { record("incrementCount", arguments) }
    function showMenu(menu, x) { record("showMenu", arguments) }
    function openInputFile(title, filter) {
        record("openInputFile", arguments)
        return fileAnswers.length > 0 ? fileAnswers.shift() : []
    }
    function openOutputFolder() {
        record("openOutputFolder", arguments)
        return folderAnswers.length > 0 ? folderAnswers.shift() : ""
    }
    function selectCd() { record("selectCd", arguments); return "1" }
    function selectDvd() { record("selectDvd", arguments); return "1" }
    function getFileInfo(path) { record("getFileInfo", arguments) }
    function startNewConversion(inFile, ffmpegArgs, aspect, outFile, outExt) {
        record("startNewConversion", arguments)
    }
    function stopConversion() { record("stopConversion", arguments) }
    function removeFile(path) { record("removeFile", arguments); return true }
    function openFolder(path) { record("openFolder", arguments) }
    function close() { record("close", arguments) }
    function warning(text) { record("warning", arguments) }
    function yesno(text) {
        record("yesno", arguments)
        if (duringQuestion !== null) {
            var hook = duringQuestion
            duringQuestion = null
            hook()
        }
        return yesnoAnswers.length > 0 ? yesnoAnswers.shift() : false
    }
    function changeCursor(shape) { record("changeCursor", arguments) }
    function log(text) { record("log", arguments) }
    function getTempFolder() { return tempFolder }
    function getMusicFolder() { return musicFolder }
    function getVideoFolder() { return videoFolder }
    function makeDir(path) { record("makeDir", arguments) }
    function selectBurnDisc(discType, overallDuration) {
        record("selectBurnDisc", arguments)
        return burnAnswers.length > 0 ? burnAnswers.shift() : ""
    }
    function startBurnDisc(discType, drive, desTemp, finalOutput) { record("startBurnDisc", arguments) }
    function isCurrentDiscBlank(drive) { record("isCurrentDiscBlank", arguments); return true }
    function playDisc(drive) { record("playDisc", arguments) }
}
