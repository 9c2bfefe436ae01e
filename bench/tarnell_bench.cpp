// Drives the real main window offscreen and prints how long the things a user
// waits for take: start-up, Load of large sources, a keystroke, Save, memory.
// Run: build/bin/tarnell_bench [runs]

#include "ui/form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// Z80 source with CR LF line ends and lines of 30 to 60 characters.
QByteArray z80Source(qint64 size)
{
    static const char *const lines[] = {"loop:   ld a,(hl)          ; next byte of the table",
                                        "        inc hl", "        cp $FF", "        jr z,done",
                                        "        bcall(_PutC)       ; show it", "        djnz loop",
                                        "        ld de,plotSScreen+12", "        .db $BB,$6D,0,1,2,3,4"};
    QRandomGenerator random(2001);
    QByteArray text;
    text.reserve(size + 100);
    while (text.size() < size) {
        QByteArray line = lines[random.bounded(int(std::size(lines)))];
        while (line.size() < 30)
            line += ' ';
        text += line.left(60) + "\r\n";
    }
    return text;
}

QString writeSource(const QTemporaryDir &dir, int megabytes)
{
    const QString path = dir.filePath(QString("source-%1.z80").arg(megabytes));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(z80Source(qint64(megabytes) << 20)) < 0)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// Plays the user in the file dialog: picks `path` and notes when it did.
class DialogAnswer : public QObject
{
public:
    explicit DialogAnswer(const QString &path) : m_path(path)
    {
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                dialog->selectFile(m_path);
                m_timer.stop();
                accepted = monotonicMs();
                QMetaObject::invokeMethod(dialog, "accept"); // as the Open or Save button does
            }
        });
        m_timer.start();
    }
    double accepted = 0;

private:
    QString m_path;
    QTimer m_timer;
};

// Runs a file command through its menu item and returns the milliseconds from
// the user's choice in the dialog until the editor has painted.
double fileCommand(Form1 &form, const char *item, const QString &path)
{
    DialogAnswer answer(path);
    form.findChild<QAction *>(item)->trigger();
    auto *editor = form.findChild<QsciScintilla *>("Text1");
    editor->viewport()->repaint();
    const double elapsed = monotonicMs() - answer.accepted;
    if (editor->SendScintilla(QsciScintilla::SCI_GETLENGTH) != QFileInfo(path).size())
        qFatal("%s of %s did not give the file's bytes", item, qPrintable(path));
    return elapsed;
}

void row(const char *what, double value, const char *unit, const QString &target)
{
    std::printf("%-44s %10.1f %-3s  %s\n", what, value, unit, qPrintable(target));
}

int startupProbe()
{
    // Child mode: prints the monotonic time of the main window's first paint.
    Form1 form(QStringLiteral(TARNELL_DATA_DIR));
    struct FirstPaint : QObject
    {
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint) {
                std::printf("%.3f\n", monotonicMs());
                std::fflush(stdout);
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            }
            return false;
        }
    } firstPaint;
    form.installEventFilter(&firstPaint);
    form.show();
    return QApplication::exec();
}

// Child mode: one 100 MB load in a fresh window, then keystrokes, Ctrl+End
// and Save; prints "name value" lines.
int largeProbe(const QString &path, const QString &saveTo)
{
    Form1 form(QStringLiteral(TARNELL_DATA_DIR));
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    auto *editor = form.findChild<QsciScintilla *>("Text1");
    std::printf("load %.3f\n", fileCommand(form, "load_project", path));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("rss %.1f\n", usage.ru_maxrss / 1024.0);

    const long length = editor->SendScintilla(QsciScintilla::SCI_GETLENGTH);
    editor->SendScintilla(QsciScintilla::SCI_GOTOPOS, static_cast<unsigned long>(length - 100));
    editor->setFocus();
    editor->viewport()->repaint();
    QList<double> keys;
    for (int i = 0; i < 21; ++i) {
        const double start = monotonicMs();
        QTest::keyClick(editor, Qt::Key_X);
        editor->viewport()->repaint();
        keys << monotonicMs() - start;
    }
    std::printf("key %.3f\nslowest %.3f\n", median(keys), *std::max_element(keys.begin(), keys.end()));

    editor->SendScintilla(QsciScintilla::SCI_DOCUMENTSTART);
    editor->viewport()->repaint();
    double start = monotonicMs();
    QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
    editor->viewport()->repaint();
    std::printf("end %.3f\n", monotonicMs() - start);

    std::printf("save %.3f\n", fileCommand(form, "Save", saveTo));
    return 0;
}

double processMs(const QString &program, const QStringList &arguments)
{
    QProcess process;
    const double start = monotonicMs();
    process.start(program, arguments);
    process.waitForFinished(-1);
    return monotonicMs() - start;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (app.arguments().contains("--startup-probe"))
        return startupProbe();
    if (app.arguments().value(1) == "--large-probe")
        return largeProbe(app.arguments().value(2), app.arguments().value(3));
    const int runs = std::max(3, app.arguments().value(1).toInt());

    QTemporaryDir dir;
    std::printf("Tarnell benchmark, median of %d runs each, offscreen\n\n", runs);
    std::printf("%-44s %10s %-3s  %s\n", "what", "value", "", "target");

    QList<double> startup;
    for (int i = 0; i < runs; ++i) {
        QProcess probe;
        const double start = monotonicMs();
        probe.start(QCoreApplication::applicationFilePath(), {"--startup-probe"});
        probe.waitForFinished(-1);
        startup << probe.readAllStandardOutput().trimmed().toDouble() - start;
    }
    row("start-up to first paint of the main window", median(startup), "ms", "under 150 ms");

    Form1 form(QStringLiteral(TARNELL_DATA_DIR));
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    for (const int megabytes : {1, 10}) {
        const QString path = writeSource(dir, megabytes);
        QList<double> loads;
        for (int i = 0; i < runs; ++i)
            loads << fileCommand(form, "load_project", path);
        row(qPrintable(QString("Load of %1 MB until painted").arg(megabytes)), median(loads), "ms", "");
    }

    // The 100 MB figures come from a fresh process each run, so that its peak
    // memory is that of one load.
    const QString large = writeSource(dir, 100);
    QMap<QString, QList<double>> figures;
    for (int i = 0; i < runs; ++i) {
        QProcess probe;
        probe.start(QCoreApplication::applicationFilePath(), {"--large-probe", large, dir.filePath("saved.z80")});
        probe.waitForFinished(-1);
        for (const QString &line : QString::fromLatin1(probe.readAllStandardOutput()).split('\n'))
            if (line.contains(' '))
                figures[line.section(' ', 0, 0)] << line.section(' ', 1).toDouble();
    }
    QList<double> copies, syncedCopies, cats;
    for (int i = 0; i < runs; ++i) {
        copies << processMs("cp", {large, dir.filePath("copy.z80")});
        syncedCopies << processMs("sh", {"-c", "cp \"$0\" \"$1\" && sync \"$1\"", large, dir.filePath("synced.z80")});
        cats << processMs("sh", {"-c", "cat \"$0\" > /dev/null", large});
    }
    row("Load of 100 MB until painted", median(figures["load"]), "ms", "under 1000 ms");
    row("peak resident memory after the 100 MB load", median(figures["rss"]), "MB", "under 250 MB");
    row("keystroke near the end of 100 MB, to repaint", median(figures["key"]), "ms", "under 16 ms");
    row("  slowest of those keystrokes", median(figures["slowest"]), "ms", "");
    row("Ctrl+End in the 100 MB document, to repaint", median(figures["end"]), "ms", "");
    row("Save of the 100 MB document", median(figures["save"]), "ms",
        QString("under %1 ms (twice the copy)").arg(2 * median(copies), 0, 'f', 0));
    std::printf("\nFor scale, on this machine:\n");
    row("cat of the 100 MB file into /dev/null", median(cats), "ms", "");
    row("cp of the 100 MB file", median(copies), "ms", "");
    row("cp of the 100 MB file, then sync of the copy", median(syncedCopies), "ms", "");
    return 0;
}
