// The program's real start-up, signal handling and page, for tests that end
// it from outside. Boxes are printed as "box: title: text" and answered from
// $MFS_SUBJECT_ANSWERS ("yes,no,..."; then No or OK; "hold" shows them as they
// are, until something ends them). Once no row is loading,
// $MFS_SUBJECT_SCRIPT runs in the page's scope; a text it returns is printed
// as "page: text". $MFS_SUBJECT_DRIVES ("a,b") stand for the optical drives,
// and a dialog the page opens gets its OK pressed.
#include "app/mainwindow.h"
#include "app/startup.h"
#include "disc/drives.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QPushButton>
#include <QQmlExpression>
#include <QQuickItem>
#include <QTimer>

#include <cstdio>

static QVariant run(MainWindow &window, const QString &script)
{
    return QQmlExpression(qmlContext(window.rootObject()), window.rootObject(), "(function () {" + script + "})()")
        .evaluate();
}

static void print(const QString &kind, QString text)
{
    std::printf("%s: %s\n", qPrintable(kind), qPrintable(text.replace('\n', ' ')));
    std::fflush(stdout);
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStringList answers = qEnvironmentVariable("MFS_SUBJECT_ANSWERS").split(',');
    const bool hold = answers == QStringList{"hold"};
    Prompts::setBoxHandler([&answers, hold](const Prompts::Box &box) {
        print("box", box.title + ": " + box.text);
        if (hold) {
            QMessageBox shown(box.icon, box.title, box.text, box.buttons);
            return QMessageBox::StandardButton(shown.exec());
        }
        const bool yes = !answers.isEmpty() && answers.takeFirst() == "yes";
        return !box.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Ok : yes ? QMessageBox::Yes : QMessageBox::No;
    });
    Drives::setLister([] { return qEnvironmentVariable("MFS_SUBJECT_DRIVES").split(',', Qt::SkipEmptyParts); });
    return startApplication(argc, argv, [](MainWindow &window) {
        auto *poll = new QTimer(&window);
        QObject::connect(poll, &QTimer::timeout, &window, [&window, poll] {
            if (run(window, "var m = mediaList.mediaListModel; for (var i = 0; i < m.count; ++i) "
                            "if (m.get(i).loading) return true; return false").toBool())
                return;
            poll->stop();
            const QVariant result = run(window, qEnvironmentVariable("MFS_SUBJECT_SCRIPT"));
            if (result.userType() == QMetaType::QString)
                print("page", result.toString());
        });
        poll->start(50);
        auto *press = new QTimer(&window);
        QObject::connect(press, &QTimer::timeout, [] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                for (QPushButton *button : dialog->findChildren<QPushButton *>())
                    if (button->text() == "OK" && button->isEnabled())
                        button->click();
            }
        });
        press->start(100);
    });
}
