#include "form1.h"

#include "ui/form1_layout.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/program_icon.h"
#include "ui/source_editor.h"
#include "ui/toolbar_button.h"
#include "ui/window_manager.h"

#include "platform/today.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace {

// Client area at 96 DPI, below the title bar and the menu bar.
constexpr QSize clientSize(476, 378);
constexpr int toolbarHeight = 58;
constexpr int statusBarHeight = 17;

template<typename Window>
void showOnce(QPointer<Window> &window)
{
    // No owner: the window lives on its own, and closing it destroys it.
    if (!window) {
        window = new Window;
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    // Minimised, it would be lost: it has no task-bar button to bring it back.
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

Form1::Form1(const QString &dataFolder)
    : m_prompts(this), CommonDialog1(this), m_launcher(dataFolder)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tarnell"));
    setWindowIcon(programIcon());
    // QMainWindow offers a menu that hides the toolbar on a right click on
    // the menu bar; nothing here is meant to be hidden.
    setContextMenuPolicy(Qt::NoContextMenu);

    buildClientArea();
    // The only look at the process's current directory; the commands keep
    // their working folder from here on.
    m_commands = std::make_unique<Commands>(Platform{*Text1, m_clipboard, m_prompts, CommonDialog1,
                                                     m_launcher, *this, dataFolder, QDir::currentPath()});
    buildMenus();
    buildKeys();
    buildToolbar();

    resize(clientSize.width(), clientSize.height() + menuBar()->sizeHint().height());
    centreOnScreen(this);
    Form_Load();
}

Form1::~Form1()
{
    delete m_about;
    delete m_help;
}

void Form1::Form_Load()
{
    statusPanel1->setText(todayShortText());
}

void Form1::buildMenus()
{
    QHash<QString, QMenu *> menus;
    for (const MenuRow &row : menuTable) {
        const QString name = QString::fromLatin1(row.name);
        QMenu *parent = row.parent ? menus.value(QString::fromLatin1(row.parent)) : nullptr;
        switch (row.kind) {
        case MenuRow::Menu:
        case MenuRow::Submenu: {
            QMenu *menu = parent ? parent->addMenu(QString::fromLatin1(row.caption))
                                 : menuBar()->addMenu(QString::fromLatin1(row.caption));
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            menus.insert(name, menu);
            break;
        }
        case MenuRow::Separator:
            parent->addSeparator()->setObjectName(name);
            break;
        case MenuRow::Item:
            bind(parent->addAction(QString::fromLatin1(row.caption)), row.name, row.shortcut, row.command);
            break;
        }
    }
}

void Form1::buildKeys()
{
    for (const KeyRow &row : keyTable)
        bind(new QAction(this), row.name, row.shortcut, row.command);
}

void Form1::bind(QAction *action, const char *name, const char *shortcut, void (Commands::*command)())
{
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action); // shortcuts work while the menus are closed, and without a menu
    connect(action, &QAction::triggered, this, [this, command] { (m_commands.get()->*command)(); });
}

void Form1::buildToolbar()
{
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setContextMenuPolicy(Qt::PreventContextMenu);
    Toolbar1->setFixedHeight(toolbarHeight);
    Toolbar1->setIconSize(QSize(32, 32));
    Toolbar1->setContentsMargins(0, 0, 0, 0);
    Toolbar1->layout()->setSpacing(0);
    addToolBar(Qt::TopToolBarArea, Toolbar1);
    // The button QToolBar shows for the buttons that no longer fit, should the
    // window be made narrow; screen readers list it all the same.
    if (auto *more = Toolbar1->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More Buttons"));

    for (const ToolbarButtonRow &row : toolbarButtons) {
        const QString image = QString::fromLatin1(imageList1[row.image - 1]);
        auto *button = new ToolbarButton(QString::fromLatin1(row.key), QString::fromLatin1(row.caption),
                                         QString::fromLatin1(row.toolTip),
                                         QIcon(QStringLiteral(":/icons/%1-32.xpm").arg(image)), Toolbar1);
        button->setObjectName(QStringLiteral("Toolbar1_") + button->key());
        button->setProperty("image", row.image);
        Toolbar1->addWidget(button);
        connect(button, &QToolButton::clicked, this,
                [this, button] { m_commands->toolbarButtonClick(button->key()); });
    }
}

void Form1::buildClientArea()
{
    // Fixed places at 96 DPI; nothing here follows a change of the window's size
    // but the toolbar and the status bar, which stretch with its width.
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    Frame3 = new QGroupBox(QStringLiteral("Editor"), client);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Frame3->setGeometry(0, 64 - toolbarHeight, 473, 297);

    Text1 = new SourceEditor(Frame3);
    Text1->setGeometry(8, 16, 449, 265);

    Label1 = new QLabel(QStringLiteral("Label1"), client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(0, 448 - toolbarHeight, 89, 17);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(statusBarHeight);
    statusPanel1 = new QLabel(StatusBar1);
    statusPanel1->setObjectName(QStringLiteral("Panel1"));
    statusPanel1->setFixedWidth(96);
    StatusBar1->addWidget(statusPanel1);
    setStatusBar(StatusBar1);

    Text1->setFocus();
}

void Form1::endProgram()
{
    delete m_about;
    delete m_help;
    close();
    QCoreApplication::quit();
}

void Form1::showAbout()
{
    showOnce(m_about);
}

void Form1::showHelp()
{
    showOnce(m_help);
}
