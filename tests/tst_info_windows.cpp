// The About and Help windows: fixed texts, read-only, one instance each, and
// they keep the program running after the main window has closed.

#include "ui/form1.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

QString crlf(const QStringList &lines)
{
    return lines.join("\r\n") + "\r\n";
}

const QString aboutText = crlf({"Program Name: TI-83 Plus Tarnell", " ", ""});
const QString helpText = crlf({
    "Tarnell Version 1.01", "", "Requirements", "How to use", "", "Tarnell", "Date: 9-7-2001", "Requirements",
    "To run Tarnell you must have at least a 486/66 MHZ running Windows 95 or higher with 16 megabytes of ram or higher. "
    "(Windows NT May not be supported, as it has never been tested on.) You will need to have the dependency files to "
    "run this program as well. If you get an error such as a file not being found, some of the runtime files are "
    "missing from your computer and you will have to get them separately.",
    "", "How to Use",
    "It is not hard to use Tarnell. that is why the program has been developed, to make it easier for 83 Plus assembler "
    "programmers. When you first run the program, you are given a blank screen. If you are developing for a specific "
    "shell, go to the project menu and highlight insert header. This will enable you to insert a variety of shell "
    "headers into the editor. You can also customize these headers as they are located in their proper external text "
    "files. When the user is finished writing their program, the user can go to the projects menu, and will be "
    "presented a variety of options to which shell to compile to. After the user chooses the appropriate selection, a "
    "text box will show up asking the user to enter the name of their program. Once the user has typed in the name of "
    "the program, a command prompt box should show up showing the progress of the compilation. The user need not type "
    "anything in the command prompts, as Tarnell already does this for you. ",
    "",
    "Note: Custom compilation is for the advanced users. this allows the user to choose which compiler to use for what "
    "shell. Example: Syntax to use:  <name of batch file or compiler>  Name of program  -extra parameters"});

// Chooses the menu item and returns the one visible window it shows.
QWidget *open(Form1 &form, const QString &command)
{
    form.findChild<QAction *>(command)->trigger();
    QWidgetList shown;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == (command == "about" ? "Form2" : "Form3") && w->isVisible())
            shown << w;
    return shown.size() == 1 ? shown.first() : nullptr;
}

QsciScintilla *text1(QWidget *window)
{
    return window->findChild<QsciScintilla *>("Text1");
}

} // namespace

class TestInfoWindows : public QObject
{
    Q_OBJECT

private slots:
    void window_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("titles"); // window, Frame1
        QTest::addColumn<bool>("minimize");
        QTest::addColumn<QList<QRect>>("places"); // window, Frame1, Text1, Picture1
        QTest::newRow("About") << "about" << aboutText << QStringList{"About TI-83 Plus Tarnell", ""} << false
                               << QList<QRect>{{0, 0, 283, 138}, {0, 0, 281, 137}, {8, 16, 265, 113}, {16, 88, 41, 41}};
        QTest::newRow("Help") << "contents" << helpText << QStringList{"Help", "Help"} << true
                              << QList<QRect>{{0, 0, 356, 255}, {0, 0, 353, 249}, {8, 16, 337, 225}};
    }

    void window()
    {
        QFETCH(QString, command);
        QFETCH(QString, text);
        QFETCH(QStringList, titles);
        QFETCH(bool, minimize);
        QFETCH(QList<QRect>, places);
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QPointer<QWidget> window = open(form, command);
        QVERIFY(window && QTest::qWaitForWindowExposed(window));
        QsciScintilla *box = text1(window);
        QCOMPARE(box->text(), text);
        QCOMPARE(window->windowTitle(), titles[0]);
        QCOMPARE(window->findChild<QGroupBox *>("Frame1")->title(), titles[1]);

        QCOMPARE(window->rect(), places[0]);
        const QStringList names = {"Frame1", "Text1", "Picture1"};
        for (int i = 1; i < places.size(); ++i)
            QCOMPARE(window->findChild<QWidget *>(names[i - 1])->geometry(), places[i]);
        // Centred; the frame is only known once shown, so allow for its margin.
        const QPoint off = window->frameGeometry().center() - window->screen()->availableGeometry().center();
        const QPoint margin = window->geometry().topLeft() - window->frameGeometry().topLeft();
        QVERIFY(qAbs(off.x()) <= margin.x() && qAbs(off.y()) <= margin.y());

        // A tool window: no task-bar button. Never Maximize; Minimize on Help only.
        QCOMPARE(window->windowType(), Qt::Tool);
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(bool(window->windowFlags() & Qt::WindowMinimizeButtonHint), minimize);
        QVERIFY(window->minimumSize() != window->maximumSize());
        QCOMPARE(window->windowIcon().pixmap(32).toImage(), Form1::programIcon().pixmap(32).toImage());

        QTRY_COMPARE(QApplication::focusWidget(), box);
        QVERIFY(box->verticalScrollBar()->isVisible() && !box->horizontalScrollBar()->isVisible());
        QVERIFY(command == "about" || box->verticalScrollBar()->maximum() > 0);
        QVERIFY(command == "about" || box->SendScintilla(QsciScintilla::SCI_WRAPCOUNT, 8UL) > 1); // line 9 wraps

        // Typing, deleting, cutting and pasting change nothing; copying works.
        for (const QString &keys :
             {"x", "Return", "Backspace", "Delete", "Tab", "Ctrl+X", "Ctrl+V", "Shift+Insert", "Ctrl+Z"}) {
            QGuiApplication::clipboard()->setText("pasted");
            box->selectAll();
            QTest::keySequence(box, QKeySequence(keys));
            QCOMPARE(box->text(), text);
        }
        box->cut();
        box->paste();
        QCOMPARE(box->text(), text);
        box->setFocus();
        QTest::keySequence(box, QKeySequence::SelectAll);
        QTest::keySequence(box, QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->text(), text);

        // One instance, brought forward.
        form.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &form);
        QCOMPARE(open(form, command), window.data());
        QTRY_COMPARE(QApplication::activeWindow(), window.data());

        // Closing destroys it; the next one starts at the top again.
        box->SendScintilla(QsciScintilla::SCI_SETFIRSTVISIBLELINE, 5UL);
        QVERIFY(window->close());
        QTRY_VERIFY(window.isNull());
        box = text1(open(form, command));
        QCOMPARE(box->SendScintilla(QsciScintilla::SCI_GETFIRSTVISIBLELINE), 0L);
        QCOMPARE(box->verticalScrollBar()->value(), 0);
    }

    void aboutLooks()
    {
        Form1 form;
        QWidget *window = open(form, "about");
        QsciScintilla *box = text1(window);
        auto *picture = window->findChild<QLabel *>("Picture1");
        // Red (BGR here), regular, 9.75 pt, in the family an "MS Sans Serif" request resolves to.
        QCOMPARE(box->SendScintilla(QsciScintilla::SCI_STYLEGETFORE, 0UL), 0x0000ffL);
        QCOMPARE(box->SendScintilla(QsciScintilla::SCI_STYLEGETSIZEFRACTIONAL, 0UL), 975L);
        QCOMPARE(qAbs(box->SendScintilla(QsciScintilla::SCI_STYLEGETWEIGHT, 0UL)), 400L);
        QFont wanted("MS Sans Serif");
        wanted.setStyleHint(QFont::SansSerif);
        char family[256] = {};
        box->SendScintilla(QsciScintilla::SCI_STYLEGETFONT, 0UL, family);
        QCOMPARE(QString(family), QFontInfo(wanted).family());

        // The icon at the top left of a white square, in front of the text box.
        const QImage shown = picture->grab().toImage();
        QImage icon(32, 32, shown.format());
        icon.fill(Qt::white);
        QPainter(&icon).drawPixmap(0, 0, Form1::programIcon().pixmap(32));
        QCOMPARE(shown.copy(0, 0, 32, 32), icon);
        QCOMPARE(shown.pixelColor(40, 40), QColor(Qt::white));
        QCOMPARE(picture->parentWidget()->childAt(picture->geometry().center()), picture);
        QTRY_COMPARE(QApplication::focusWidget(), box);
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), picture);
    }

    void keepsRunning_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("exit"); // else the user closes the main window, then this one
        QTest::newRow("About") << "about" << false;
        QTest::newRow("Help") << "contents" << false;
        QTest::newRow("exit") << "about" << true;
    }

    // Runs the application's own event loop, where closing the last window quits.
    void keepsRunning()
    {
        QFETCH(QString, command);
        QFETCH(bool, exit);
        Form1 form;
        form.show();
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        QPointer<QWidget> window, help;
        bool ranOn = false;
        QTimer::singleShot(0, qApp, [&] {
            window = open(form, command);
            if (exit) {
                help = open(form, "contents");
                form.findChild<QAction *>("exit")->trigger();
                return;
            }
            form.close();
            // Had that ended the program, its quit would be handled before this.
            QTimer::singleShot(0, qApp, [&] {
                ranOn = lastClosed.isEmpty() && window->isVisible();
                window->close();
            });
        });
        QTimer watchdog;
        connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(10000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(ranOn || exit);
        QVERIFY(!form.isVisible());
        QTRY_VERIFY(window.isNull() && help.isNull());
    }
};

QTEST_MAIN(TestInfoWindows)
#include "tst_info_windows.moc"
