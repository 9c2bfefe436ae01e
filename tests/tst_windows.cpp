// The windows as a user meets them on a real X display, under openbox and
// xfwm4: what the window manager makes of them, what a screen reader reads,
// the boxes' captions and keys, the toolbar images on dark and light themes.

#include "ui/form1.h"
#include "ui/form1_layout.h"

#include <Qsci/qsciscintilla.h>
#include <QtGui/qguiapplication_platform.h>
#include <QtTest>
#include <QtWidgets>
#include <xcb/xcb.h>

#include <csignal>
#include <unistd.h>

class TestWindows : public QObject
{
    Q_OBJECT

    QProcess *m_windowManager = nullptr; // in a process group of its own, with what it starts

    template<typename Reply>
    using Owned = QScopedPointer<Reply, QScopedPointerPodDeleter>;

    static xcb_connection_t *x11() { return qApp->nativeInterface<QNativeInterface::QX11Application>()->connection(); }

    static quint32 atom(const QByteArray &name)
    {
        const xcb_intern_atom_cookie_t asked = xcb_intern_atom(x11(), 0, name.size(), name);
        return Owned<xcb_intern_atom_reply_t>(xcb_intern_atom_reply(x11(), asked, nullptr))->atom;
    }

    // The window that holds the window manager's selection; 0 when none runs.
    static quint32 windowManager()
    {
        const xcb_get_selection_owner_cookie_t asked = xcb_get_selection_owner(x11(), atom("WM_S0"));
        return Owned<xcb_get_selection_owner_reply_t>(xcb_get_selection_owner_reply(x11(), asked, nullptr))->owner;
    }

    static QByteArray xprop(QWidget *window, const char *name)
    {
        const xcb_get_property_cookie_t asked = xcb_get_property(x11(), 0, window->winId(), atom(name), 0, 0, 99);
        const Owned<xcb_get_property_reply_t> got(xcb_get_property_reply(x11(), asked, nullptr));
        return QByteArray(static_cast<char *>(xcb_get_property_value(got.get())),
                          xcb_get_property_value_length(got.get()));
    }

    static QList<quint32> values(QWidget *window, const char *name)
    {
        const QByteArray bytes = xprop(window, name);
        return {reinterpret_cast<const quint32 *>(bytes.begin()), reinterpret_cast<const quint32 *>(bytes.end())};
    }

    static bool has(QWidget *window, const char *list, const QByteArray &name)
    {
        return values(window, list).contains(atom(name));
    }

    // The controls that a screen reader finds without a name.
    static QStringList unnamed(QAccessibleInterface *node)
    {
        const QList controls{QAccessible::Window, QAccessible::Button, QAccessible::CheckBox};
        const bool control = node->state().focusable || controls.contains(node->role());
        QStringList found(control && node->text(QAccessible::Name).isEmpty(), node->object()->objectName());
        for (int i = 0; i < node->childCount(); ++i)
            found += unnamed(node->child(i));
        return found;
    }

    bool useWindowManager(const QString &name)
    {
        if (m_windowManager && m_windowManager->objectName() == name)
            return true;
        cleanupTestCase(); // the one before
        m_windowManager = new QProcess(this);
        m_windowManager->setObjectName(name);
        m_windowManager->setChildProcessModifier([] { setsid(); });
        m_windowManager->start("env", {"NO_AT_BRIDGE=1", "dbus-run-session", "--", name}); // xfwm4 needs D-Bus
        QWidget framed; // it is ready once it frames a window
        framed.show();
        return QTest::qWaitFor(
            [&framed] { return windowManager() && values(&framed, "_NET_FRAME_EXTENTS").size() == 4; }, 20000);
    }

public:
    // Qt would abort without a display; offscreen, the test skips instead. The
    // probe stays connected, as an X server resets when its last client leaves.
    // Nor does libdbus start a session bus on the display for Qt's screen-reader
    // bridge (autolaunch), which would outlive the test and leaks.
    static void initMain()
    {
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
        if (static auto *probe = xcb_connect(nullptr, nullptr); xcb_connection_has_error(probe))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != "xcb" || windowManager())
            QSKIP("needs an X display without a window manager, to run its own");
    }

    void cleanupTestCase()
    {
        const qint64 group = m_windowManager ? m_windowManager->processId() : 0;
        if (group > 0 && kill(-pid_t(group), SIGTERM) == 0)
            m_windowManager->waitForFinished();
        delete std::exchange(m_windowManager, nullptr);
        QVERIFY(!x11() || QTest::qWaitFor([] { return !windowManager(); }, 20000));
    }

    void windows_data()
    {
        // item "" is the main window; actions as xfwm4 offers them, where openbox offers every one
        QTest::addColumn<QString>("wm");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("actions");
        for (const char *wm : {"openbox", "xfwm4"}) {
            QTest::addRow("%s main", wm) << wm << "" << "Tarnell" << QStringList{"MINIMIZE", "MAXIMIZE_VERT"};
            QTest::addRow("%s About", wm) << wm << "about" << "About TI-83 Plus Tarnell" << QStringList{};
            QTest::addRow("%s Help", wm) << wm << "contents" << "Help" << QStringList{"MINIMIZE"};
        }
    }

    void windows()
    {
        QFETCH(QString, wm);
        QFETCH(QString, item);
        QFETCH(QString, caption);
        QFETCH(QStringList, actions);
        QVERIFY(useWindowManager(wm));
        Form1 form{QString()};
        form.show();
        if (!item.isEmpty())
            form.findChild<QAction *>(item)->trigger();
        QWidget *window = &form; // or the About or Help window it shows
        for (QWidget *shown : QApplication::topLevelWidgets())
            window = shown->inherits("InfoWindow") ? shown : window;
        QVERIFY(QTest::qWaitForWindowExposed(window));
        // An ordinary window with no owner, its own caption, the buttons asked for.
        QCOMPARE(values(window, "_NET_WM_WINDOW_TYPE"), QList{atom("_NET_WM_WINDOW_TYPE_NORMAL")});
        QCOMPARE(xprop(window, "WM_TRANSIENT_FOR"), "");
        QCOMPARE(xprop(window, "_NET_WM_NAME"), caption.toUtf8());
        QTRY_COMPARE(has(window, "_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR"), !item.isEmpty());
        for (const char *action : {"MINIMIZE", "MAXIMIZE_VERT"})
            QTRY_COMPARE(has(window, "_NET_WM_ALLOWED_ACTIONS", QByteArray("_NET_WM_ACTION_") + action),
                         wm == "openbox" || actions.contains(action));
        // Centred, title bar and frame included.
        QTRY_VERIFY(
            (window->frameGeometry().center() - window->screen()->availableGeometry().center()).manhattanLength() <= 1);
        // A window to a screen reader, every control in it named.
        QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(window);
        QCOMPARE(std::tuple(reader->role(), reader->text(QAccessible::Name), unnamed(reader)),
                 std::tuple(QAccessible::Window, caption, QStringList()));
        if (item.isEmpty()) { // the one check in pixels, below the menu bar (the editor's in its frame)
            const auto at = [&form](const char *name) {
                const QWidget *control = form.findChild<QWidget *>(name);
                return QRect(control->mapTo(&form, QPoint(0, -form.menuBar()->height())), control->size());
            };
            QCOMPARE(QList({QRect(QPoint(), form.size() - QSize(0, form.menuBar()->height())), at("Toolbar1"),
                            at("Frame3"), form.findChild<QWidget *>("Text1")->geometry(), at("StatusBar1"),
                            at("Label1"), QRect(QPoint(), at("Toolbar1_Copy").size())}),
                     QList<QRect>({{0, 0, 476, 378}, {0, 0, 476, 58}, {0, 64, 473, 297}, {8, 16, 449, 265},
                                   {0, 361, 476, 17}, {0, 448, 89, 17}, {0, 0, 44, 52}}));
            QWidget *copy = form.findChild<QWidget *>("Toolbar1_Copy");
            QCOMPARE(QAccessible::queryAccessibleInterface(copy)->text(QAccessible::Name), "Copy Text");
            // A right click on the menu bar's empty end opens no menu.
            QTest::mouseClick(form.windowHandle(), Qt::RightButton, {}, QPoint(form.width() - 3, 3));
            QCOMPARE(QApplication::activePopupWidget(), nullptr);
            return;
        }
        // Chosen again when minimised, it comes back.
        window->showMinimized();
        QTRY_VERIFY(has(window, "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN") && !window->windowHandle()->isExposed());
        form.findChild<QAction *>(item)->trigger();
        QTRY_VERIFY(!has(window, "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN"));
    }

    // Keys pressed in the editor and menu items chosen, against the boxes
    // they bring (captions as the window manager shows them) and the text left.
    void boxes_data()
    {
        QTest::addColumn<QStringList>("steps"); // keys or menu items
        QTest::addColumn<int>("order");         // of a box's buttons, answered by Enter; -1: Escape
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("text");
        const auto row = [](const char *name, const QStringList &steps, int order, const QStringList &shown,
                            const char *text) { QTest::newRow(name) << steps << order << shown << QString(text); };
        row("Enter is Yes, Yes first", {"new"}, QDialogButtonBox::WinLayout, {"New Source"}, "");
        row("Enter is Yes, No first", {"new"}, QDialogButtonBox::GnomeLayout, {"New Source"}, "");
        row("Ctrl+S after a box", {"Ctrl+N", "Ctrl+S"}, -1, {"New Source", "Save Source File"}, "keep");
        row("Ctrl+E after a dialog", {"Ctrl+S", "Ctrl+E"}, -1, {"Save Source File"}, "keep");
        row("keys in no menu", {"Ctrl+F", "F3", "Shift+F3", "Ctrl+G"}, -1, {"Find", "Find", "Find", "Go To Line"},
            "keep");
        row("untitled error", {"compile_options"}, -1, {"Custom Compile", "Tarnell"}, "keep");
    }

    void boxes()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, order);
        qApp->setStyleSheet(QString("* { button-layout: %1 }").arg(qMax(order, 0)));
        Form1 form{QString()};
        form.show();
        auto *editor = form.findChild<QsciScintilla *>("Text1");
        editor->setText("keep");
        QStringList seen;
        QTimer user; // at each box once it is active
        user.start(0);
        connect(&user, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!box || QApplication::activeWindow() != box)
                return;
            seen << QString::fromUtf8(xprop(box, "_NET_WM_NAME"));
            // Past 9, a box that will not go.
            QTest::keyClick(box->windowHandle(), seen.size() > 9 || order < 0 ? Qt::Key_Escape : Qt::Key_Return);
        });
        for (const QString &step : steps) {
            if (auto *item = form.findChild<QAction *>(step)) {
                item->trigger();
            } else { // a key, into the active window, as by the user
                form.activateWindow();
                if (QTest::qWaitFor([&] { return editor->hasFocus() && QApplication::activeWindow() == &form; }))
                    QTest::keySequence(form.windowHandle(), QKeySequence(step));
            }
        }
        QTEST(seen, "shown");
        QTEST(editor->text(), "text");
        QCOMPARE(form.isVisible(), !steps.contains("Ctrl+E"));
    }

    // A fifth of each toolbar image at least stands out on a dark theme's
    // toolbar (#353535) as on a light one (#efefef), in either size.
    void images()
    {
        QStringList drawn;
        for (const QString image : imageList1)
            drawn << image + "-32" << image + "-16";
        for (const QString &name : drawn)
            for (const QImage drawing(":/icons/" + name + ".xpm"); const int background : {0x35, 0xef}) {
                int opaque = 0, standingOut = 0;
                for (int i = 0; i < drawing.width() * drawing.height(); ++i) {
                    const QRgb pixel = drawing.pixel(i % drawing.width(), i / drawing.width());
                    opaque += qAlpha(pixel) == 255;
                    standingOut += qAlpha(pixel) == 255 && qAbs(qGray(pixel) - background) >= 96;
                }
                QVERIFY2(opaque > 0 && standingOut * 5 >= opaque, qPrintable(name));
            }
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
