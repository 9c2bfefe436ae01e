// The main window as a user meets it: the menu tree, the toolbar, the places
// of the controls, the shortcuts, and every menu item reaching its command.

#include "modal_answerer.h"

#include "ui/form1.h"
#include "ui/toolbar_button.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QFileDialog>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <Qsci/qsciscintilla.h>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace {

struct Row
{
    const char *name, *caption, *parent, *shortcut, *kind;
};

// The menu bar as the user sees it, top to bottom within each menu.
const Row menuRows[] = {
    {"file", "&File", "", "", "menu"},
    {"new", "&New Project", "file", "Ctrl+N", "item"},
    {"load_project", "Load Project", "file", "", "item"},
    {"sfdsfd", "", "file", "", "separator"},
    {"Save", "&Save", "file", "Ctrl+S", "item"},
    {"sdfadsfa", "", "file", "", "separator"},
    {"exit", "&Exit", "file", "Ctrl+E", "item"},
    {"edit", "&Edit", "", "", "menu"},
    {"cut", "&Cut", "edit", "", "item"},
    {"copy", "Copy", "edit", "", "item"},
    {"paste", "&Paste", "edit", "", "item"},
    {"project", "&Project", "", "", "menu"},
    {"insert_header", "&Insert Header", "project", "", "menu"},
    {"ion", "ION", "insert_header", "", "item"},
    {"safdsfa", "", "insert_header", "", "separator"},
    {"mirage_os", "Mirage OS", "insert_header", "", "item"},
    {"tse", "TSE", "insert_header", "", "item"},
    {"fgdas", "", "insert_header", "", "separator"},
    {"plus_asm", "TI-83 Plus ASM", "insert_header", "", "item"},
    {"compile", "Compile Source", "insert_header", "", "item"},
    {"dsafdasf", "", "project", "", "separator"},
    {"compile_ion", "Compile for ION", "project", "", "item"},
    {"gfsgsd", "", "project", "", "separator"},
    {"mirage", "Compile for Mirage OS", "project", "", "item"},
    {"tses", "Compile for TSE", "project", "", "item"},
    {"dsaffdsa", "", "project", "", "separator"},
    {"compile_options", "Custom Compile Options", "project", "", "item"},
    {"help", "&Help", "", "", "menu"},
    {"contents", "Help", "help", "", "item"},
    {"about", "&About", "help", "", "item"},
};

void walk(const QList<QAction *> &actions, const QString &parent, QStringList &out)
{
    for (QAction *action : actions) {
        const QString kind = action->menu() ? "menu" : action->isSeparator() ? "separator" : "item";
        out << QStringList{action->objectName(), action->isSeparator() ? QString() : action->text(), parent,
                           action->shortcut().toString(), kind}
                   .join('|');
        if (action->menu())
            walk(action->menu()->actions(), action->objectName(), out);
    }
}

// The names of the _NET_WM_STATE atoms set on a window.
QStringList windowStates(QWidget *window)
{
    xcb_connection_t *connection = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const QByteArray name = "_NET_WM_STATE";
    xcb_intern_atom_reply_t *state = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.constData()), nullptr);
    xcb_get_property_reply_t *property = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, xcb_window_t(window->winId()), state->atom, XCB_ATOM_ATOM, 0, 64),
        nullptr);
    QStringList names;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(property));
    for (int i = 0; i < xcb_get_property_value_length(property) / 4; ++i) {
        xcb_get_atom_name_reply_t *atomName =
            xcb_get_atom_name_reply(connection, xcb_get_atom_name(connection, atoms[i]), nullptr);
        names << QString::fromLatin1(xcb_get_atom_name_name(atomName), xcb_get_atom_name_name_length(atomName));
        std::free(atomName);
    }
    std::free(property);
    std::free(state);
    return names;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_empty; // a working directory without templates or build scripts

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_empty.path()));
        qunsetenv("DISPLAY");
    }

    void menuTree()
    {
        Form1 form;
        QStringList expected, actual;
        for (const Row &row : menuRows)
            expected << QStringList{row.name, row.caption, row.parent, row.shortcut, row.kind}.join('|');
        walk(form.menuBar()->actions(), "", actual);
        QCOMPARE(actual, expected);
    }

    void toolbar()
    {
        Form1 form;
        QList<ToolbarButton *> buttons = form.findChildren<ToolbarButton *>();
        std::sort(buttons.begin(), buttons.end(), [](auto *a, auto *b) { return a->x() < b->x(); });
        // key, caption, tooltip, the image that ImageList1 holds at the button's index
        const QStringList expected = {"New|New|New Document|1:new",      "Open|Open|Open Document|3:open",
                                      "Save|Save|Save Document|4:save",  "Compile|Compile|Compile|5:compile",
                                      "Cut|Cut|Cut|6:cut",               "Paste|Paste|Paste|7:paste",
                                      "Copy||Copy Text|2:copy"};
        QCOMPARE(buttons.size(), expected.size());
        for (int i = 0; i < buttons.size(); ++i) {
            ToolbarButton *button = buttons[i];
            const QString image = expected[i].section('|', 3).section(':', 1);
            QCOMPARE(QStringList({button->key(), button->text(), button->toolTip(),
                                  button->property("image").toString() + ':' + image})
                         .join('|'),
                     expected[i]);
            QCOMPARE(button->size(), QSize(44, 52));
            QCOMPARE(button->icon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32),
                     QImage(":/icons/" + image + "-32.xpm").convertToFormat(QImage::Format_ARGB32));
            QVERIFY(!button->isCheckable() && button->isEnabled() && !button->isDown());
            if (!button->text().isEmpty()) // the caption fits the button
                QVERIFY(QFontMetrics(button->captionFont()).horizontalAdvance(button->text()) <= 44);
        }
    }

    void geometry()
    {
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const int menu = form.menuBar()->height();
        auto placed = [&form](const char *name) {
            auto *widget = form.findChild<QWidget *>(name);
            return widget ? QRect(widget->mapTo(&form, QPoint(0, 0)), widget->size()) : QRect();
        };
        QCOMPARE(form.width(), 476);
        QCOMPARE(form.height() - menu, 378);
        QCOMPARE(placed("Toolbar1"), QRect(0, menu, 476, 58));
        QCOMPARE(placed("Frame3"), QRect(0, menu + 64, 473, 297));
        QCOMPARE(placed("Text1").translated(-placed("Frame3").topLeft()), QRect(8, 16, 449, 265));
        QCOMPARE(placed("StatusBar1"), QRect(0, menu + 361, 476, 17));
        QCOMPARE(placed("Panel1").width(), 96);
        QVERIFY(placed("Panel1").left() < 8);
        QCOMPARE(placed("Label1"), QRect(0, menu + 448, 89, 17));
        QVERIFY(form.findChild<QLabel *>("Label1")->visibleRegion().isEmpty());
        QCOMPARE(form.findChild<QGroupBox *>("Frame3")->title(), QString("Editor"));

        auto *editor = form.findChild<QsciScintilla *>("Text1");
        QCOMPARE(editor->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(editor->wrapMode(), QsciScintilla::WrapWord);
        QVERIFY(!editor->isReadOnly());

        // A taller, wider window: only the toolbar and the status bar follow,
        // and the label comes into view.
        form.resize(700, menu + 600);
        QTRY_COMPARE(placed("Toolbar1").width(), 700);
        QCOMPARE(placed("StatusBar1"), QRect(0, menu + 583, 700, 17));
        QCOMPARE(placed("Frame3"), QRect(0, menu + 64, 473, 297));
        QVERIFY(!form.findChild<QLabel *>("Label1")->visibleRegion().isEmpty());
    }

    void windowAndDate()
    {
        Form1 form;
        QCOMPARE(form.windowTitle(), QString("Tarnell"));
        const Qt::WindowFlags flags = form.windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint && flags & Qt::WindowMaximizeButtonHint);
        QVERIFY(!form.windowIcon().isNull());
        QCOMPARE(form.findChild<QLabel *>("Panel1")->text(),
                 QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
        QCOMPARE(form.findChild<QsciScintilla *>("Text1")->length(), 0);
    }

    // Each menu item starts its command, shown by the first boxes it puts up.
    void everyMenuItemStartsItsCommand_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("shown");
        const QString problem = "We got a problem!";
        QTest::newRow("new") << "new" << QStringList{"box:New Source:Are you sure?"};
        QTest::newRow("load_project") << "load_project" << QStringList{"files:Load Source File"};
        QTest::newRow("Save") << "Save" << QStringList{"files:Save Source File"};
        for (const char *item : {"ion", "mirage_os", "tse", "plus_asm"})
            QTest::newRow(item) << item
                                << QStringList{"box:Warning:This will erase your current file! Do you wish to proceed?"};
        QTest::newRow("compile") << "compile"
                                 << QStringList{"input:Compile Source:name of file to compile?",
                                                "box:Problem:" + problem};
        QTest::newRow("compile_ion") << "compile_ion"
                                     << QStringList{"input:ION Compile:Enter Name of ION Source File",
                                                    "box::" + problem};
        QTest::newRow("mirage") << "mirage"
                                << QStringList{"input:Mirage Compile:Enter Name of Mirage Source File",
                                               "box::" + problem};
        QTest::newRow("tses") << "tses"
                              << QStringList{"input:TSE Compile:Enter Name of TSE Source File", "box::" + problem};
        QTest::newRow("compile_options")
            << "compile_options"
            << QStringList{"input:Custom Compile:Enter Custom Arguments to Compile Program", "box::" + problem};
        QTest::newRow("cut") << "cut" << QStringList{"clipboard:ld a,1"};
        QTest::newRow("copy") << "copy" << QStringList{"clipboard:ld a,1"};
        QTest::newRow("paste") << "paste" << QStringList{};
        QTest::newRow("about") << "about" << QStringList{"window:About TI-83 Plus Tarnell"};
        QTest::newRow("contents") << "contents" << QStringList{"window:Help"};
    }

    void everyMenuItemStartsItsCommand()
    {
        QFETCH(QString, item);
        QFETCH(QStringList, shown);
        Form1 form;
        auto *editor = form.findChild<QsciScintilla *>("Text1");
        editor->setText("ld a,1");
        editor->selectAll();
        QGuiApplication::clipboard()->setText("before");
        const QWidgetList before = QApplication::topLevelWidgets();

        ModalAnswerer answerer;
        form.findChild<QAction *>(item)->trigger();

        QStringList seen = answerer.seen;
        if (QGuiApplication::clipboard()->text() != "before")
            seen << "clipboard:" + QGuiApplication::clipboard()->text();
        for (QWidget *window : QApplication::topLevelWidgets())
            if (!before.contains(window) && window->isVisible() && window != &form)
                seen << "window:" + window->windowTitle();
        QCOMPARE(seen, shown);
        if (item == "paste")
            QCOMPARE(editor->text(), QString("before"));
    }

    // X11's middle-click paste inserts the selection with its own line ends.
    void middleClickPasteKeepsLineEnds()
    {
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto *editor = form.findChild<QsciScintilla *>("Text1");
        QGuiApplication::clipboard()->setText("a\nb\rc\r\n", QClipboard::Selection);
        QTest::mouseClick(editor->viewport(), Qt::MiddleButton, {}, QPoint(5, 5));
        QTRY_COMPARE(editor->text(), QString("a\nb\rc\r\n"));
    }

    // The About and Help windows ask the window manager for no task-bar button.
    void infoWindowsStayOffTheTaskbar_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("about") << "about";
        QTest::newRow("contents") << "contents";
    }

    void infoWindowsStayOffTheTaskbar()
    {
        QFETCH(QString, item);
        Form1 form;
        const QWidgetList before = QApplication::topLevelWidgets();
        form.findChild<QAction *>(item)->trigger();
        QWidget *window = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (!before.contains(widget) && widget->isVisible())
                window = widget;
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY(windowStates(window).contains("_NET_WM_STATE_SKIP_TASKBAR"));
        QVERIFY(!windowStates(&form).contains("_NET_WM_STATE_SKIP_TASKBAR"));
    }

    // The window's shortcuts work while the editor has the keyboard focus, also
    // after a box or a dialog has come and gone. This needs a real X display:
    // offscreen, the focus stays in a closed dialog.
    void shortcutsWithEditorFocused()
    {
        Form1 form;
        form.show();
        form.activateWindow(); // there is no window manager to do it
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto *editor = form.findChild<QsciScintilla *>("Text1");
        editor->setFocus();
        QTRY_VERIFY(editor->hasFocus());
        editor->setText("keep");

        ModalAnswerer answerer;
        QTest::keyClick(editor, Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(answerer.seen, (QStringList{"box:New Source:Are you sure?", "files:Save Source File"}));
        QCOMPARE(editor->text(), QString("keep"));

        // Ctrl+E ends the program at once, unsaved text and all.
        QTimer::singleShot(0, editor, [editor] { QTest::keyClick(editor, Qt::Key_E, Qt::ControlModifier); });
        QTimer::singleShot(20000, qApp, [] { QCoreApplication::exit(1); }); // should Ctrl+E not work
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(answerer.seen.size(), 2);
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
