// Starting without a catalogue: one fatal box, exit code 1, and the
// temporary folder made before the check.
#include "app/startup.h"
#include "platform/prompts.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

int main(int, char **argv)
{
    QTemporaryDir scratch;
    qputenv("appdata", scratch.path().toLocal8Bit());
    QList<Prompts::Box> boxes;
    Prompts::setBoxHandler([&boxes](const Prompts::Box &b) {
        boxes << b;
        return QMessageBox::Ok;
    });

    char *args[] = {argv[0], nullptr};
    const int code = startApplication(1, args);

    int failures = 0;
    auto check = [&failures](bool ok, const char *what) {
        std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what);
        failures += ok ? 0 : 1;
    };
    check(code == 1, "exit code is 1");
    check(boxes.size() == 1, "exactly one box");
    check(!boxes.isEmpty() && boxes.first().title == "Fatal Error"
              && boxes.first().text == "data.db not found. Please try re-installing!"
              && boxes.first().icon == QMessageBox::Critical,
          "the fatal-error box");
    check(QDir(scratch.path() + "/MediaForgeStudio/temp").exists(), "temporary folder created");
    return failures ? 1 : 0;
}
