import QtQuick

// Stands in for the backend object: records every call, answers boxes and
// dialogs from queued answers and emits the backend's signals on demand.
// tst_app checks that it offers what the real bridge offers.
QtObject {
    readonly property string separator: "/"
    readonly property string tempFolder: "/scratch/temp/"
    // Every call as { name, args }.
    property var calls: []
    // Catalogue lists, flat as the backend hands them over.
    property var addModel: ["1", "Audio", "", "images/icons/audio.png", "Add Audio Files", "Audio (*.mp3)",
                            "2", "Video", "", "images/icons/video.png", "Add Video Files", "Video (*.mp4)"]
    property var deviceModel: []
    property var formatModel: []
    property var outputModels: ({})
    // Queued answers; an empty queue answers No, cancel or "".
    property var yesnoAnswers: []
    property var fileAnswers: []
    property var folderAnswers: []
    property var burnAnswers: []
    // Runs inside yesno, as if signals arrived while the question was open.
    property var duringQuestion: null

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

    function record(name, args) { calls.push({ name: name, args: Array.prototype.slice.call(args) }) }
    // The argument lists of every call to `name`, oldest first.
    function args(name) { return calls.filter(c => c.name === name).map(c => c.args) }
    function last(name) { return args(name).pop() }
    function count(name) { return args(name).length }

    function getAddModel() { return addModel }
    function getDeviceModel() { return deviceModel }
    function getFormatModel() { return formatModel }
    function getOutputModel(id) { record("getOutputModel", arguments); return outputModels[id] || [] }
    function getTempFolder() { return tempFolder }
    function getMusicFolder() { return "/home/user/Music/" }
    function getVideoFolder() { return "/home/user/Videos/" }
    function openInputFile(title, filter) { record("openInputFile", arguments); return fileAnswers.shift() || [] }
    function openMediaFiles() { record("openMediaFiles", arguments); return fileAnswers.shift() || [] }
    function openOutputFolder() { record("openOutputFolder", arguments); return folderAnswers.shift() || "" }
    function selectBurnDisc(disc, duration) { record("selectBurnDisc", arguments); return burnAnswers.shift() || "" }
    function removeFile(path) { record("removeFile", arguments); return true }
    function yesno(text) {
        record("yesno", arguments)
        var hook = duringQuestion
        duringQuestion = null
        if (hook)
            hook()
        return yesnoAnswers.shift() || false
    }
    function getFileInfo(path) { record("getFileInfo", arguments) }
    function startNewConversion(inFile, ffmpegArgs, aspect, outFile, outExt) { record("startNewConversion", arguments) }
    function startBurnDisc(discType, drive, desTemp, finalOutput) { record("startBurnDisc", arguments) }
    function stopConversion() { record("stopConversion", arguments) }
    function incrementCount(formatId, outputId) { record("incrementCount", arguments) }
    function makeDir(path) { record("makeDir", arguments) }
    function warning(text) { record("warning", arguments) }
    function selectCd() { record("selectCd", arguments) }
    function selectDvd() { record("selectDvd", arguments) }
    function showMaximized() { record("showMaximized", arguments) }
    function showNormal() { record("showNormal", arguments) }
    function showMenu(menu, x) { record("showMenu", arguments) }
    function openFolder(path) { record("openFolder", arguments) }
    function playDisc(path) { record("playDisc", arguments) }
    function close() { record("close", arguments) }
    function changeCursor(shape) { record("changeCursor", arguments) }
    function log(text) { record("log", arguments) }
    function isCurrentDiscBlank(drive) { record("isCurrentDiscBlank", arguments); return true }
}
