#pragma once

#include "app/commands.h"

// The menu bar of the main window, row by row in display order.
struct MenuRow
{
    enum Kind { Menu, Submenu, Item, Separator };

    const char *name;    // objectName of the menu, item or separator
    const char *caption; // '&' marks the access key
    const char *parent;  // nullptr: the menu bar
    const char *shortcut;
    Kind kind;
    void (Commands::*command)();
};

inline constexpr MenuRow menuTable[] = {
    {"file", "&File", nullptr, "", MenuRow::Menu, nullptr},
    {"new", "&New Project", "file", "Ctrl+N", MenuRow::Item, &Commands::new_},
    {"load_project", "Load Project", "file", "", MenuRow::Item, &Commands::load_project},
    {"sfdsfd", "-", "file", "", MenuRow::Separator, nullptr},
    {"Save", "&Save", "file", "Ctrl+S", MenuRow::Item, &Commands::Save},
    {"sdfadsfa", "-", "file", "", MenuRow::Separator, nullptr},
    {"exit", "&Exit", "file", "Ctrl+E", MenuRow::Item, &Commands::exit},
    {"edit", "&Edit", nullptr, "", MenuRow::Menu, nullptr},
    {"cut", "&Cut", "edit", "", MenuRow::Item, &Commands::cut},
    {"copy", "Copy", "edit", "", MenuRow::Item, &Commands::copy},
    {"paste", "&Paste", "edit", "", MenuRow::Item, &Commands::paste},
    {"project", "&Project", nullptr, "", MenuRow::Menu, nullptr},
    {"insert_header", "&Insert Header", "project", "", MenuRow::Submenu, nullptr},
    {"ion", "ION", "insert_header", "", MenuRow::Item, &Commands::ion},
    {"safdsfa", "-", "insert_header", "", MenuRow::Separator, nullptr},
    {"mirage_os", "Mirage OS", "insert_header", "", MenuRow::Item, &Commands::mirage_os},
    {"tse", "TSE", "insert_header", "", MenuRow::Item, &Commands::tse},
    {"fgdas", "-", "insert_header", "", MenuRow::Separator, nullptr},
    {"plus_asm", "TI-83 Plus ASM", "insert_header", "", MenuRow::Item, &Commands::plus_asm},
    {"compile", "Compile Source", "insert_header", "", MenuRow::Item, &Commands::compile},
    {"dsafdasf", "-", "project", "", MenuRow::Separator, nullptr},
    {"compile_ion", "Compile for ION", "project", "", MenuRow::Item, &Commands::compile_ion},
    {"gfsgsd", "-", "project", "", MenuRow::Separator, nullptr},
    {"mirage", "Compile for Mirage OS", "project", "", MenuRow::Item, &Commands::mirage},
    {"tses", "Compile for TSE", "project", "", MenuRow::Item, &Commands::tses},
    {"dsaffdsa", "-", "project", "", MenuRow::Separator, nullptr},
    {"compile_options", "Custom Compile Options", "project", "", MenuRow::Item, &Commands::compile_options},
    {"help", "&Help", nullptr, "", MenuRow::Menu, nullptr},
    {"contents", "Help", "help", "", MenuRow::Item, &Commands::contents},
    {"about", "&About", "help", "", MenuRow::Item, &Commands::about},
};

// Keys of the main window that no menu shows, each with its command.
struct KeyRow
{
    const char *name; // objectName of the action
    const char *shortcut;
    void (Commands::*command)();
};

inline constexpr KeyRow keyTable[] = {
    {"find", "Ctrl+F", &Commands::find},
    {"find_next", "F3", &Commands::find_next},
    {"find_previous", "Shift+F3", &Commands::find_previous},
    {"go_to_line", "Ctrl+G", &Commands::go_to_line},
};

// ImageList1: the toolbar's images, indexed from 1, as resource names.
inline constexpr const char *imageList1[] = {"new", "copy", "open", "save", "compile", "cut", "paste"};

// The toolbar's buttons from left to right.
struct ToolbarButtonRow
{
    const char *key;
    const char *caption; // "" shows the image alone
    const char *toolTip;
    int image;           // index into imageList1, from 1
};

inline constexpr ToolbarButtonRow toolbarButtons[] = {
    {"New", "New", "New Document", 1},
    {"Open", "Open", "Open Document", 3},
    {"Save", "Save", "Save Document", 4},
    {"Compile", "Compile", "Compile", 5},
    {"Cut", "Cut", "Cut", 6},
    {"Paste", "Paste", "Paste", 7},
    {"Copy", "", "Copy Text", 2},
};
