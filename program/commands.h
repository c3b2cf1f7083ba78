#pragma once

#include "program/scalepresets.h"

#include <QtCore/QString>
#include <optional>
#include <vector>

// Every operation the menu bar and the toolbar start.
enum class Command {
    FileNew,
    FileOpen,
    BMPRead,
    BMPSave,
    BMPSaveAs,
    FileSave,
    FileSaveAs,
    BMPPrint,
    FileExit,
    ToClipboard,
    FromClipboard,
    AddMoji,
    Surface,
    Solid1,
    Solid2,
    Solid3,
    Dot1,
    Dot2,
    Dot3,
    Dash1,
    Dash2,
    Dash3,
    SetMore,
    ZoomIn,
    ZoomOut,
    ValueTable,
    Calculus,
    ParameterWindow,
    Matching,
    HelpContents,
    HelpAbout,
    Export,
    Undo,
    Redo,
    WorksheetOpen,
    WorksheetSave,
    WorksheetSaveAs,
    ScaleStandard,
    ScaleTrigonometric,
    ScaleZoom10,
};

// The scale preset a command applies; nothing for other commands.
std::optional<ScalePreset> ScalePresetOf(Command command);

// The nine line-style entries, in menu order: 0 for "実1"; nothing for other commands.
std::optional<int> LineStyleIndex(Command command);

// One line of a menu: an entry, a separator ("-") or the start of a submenu. A submenu without
// entries is filled by the window when it opens (the recent files).
struct MenuItem {
    QString objectName;
    QString caption; // "&" marks the access key
    QString shortcut;
    std::optional<Command> command; // none for separators and submenus
    std::vector<MenuItem> submenu;
    bool IsSeparator() const { return caption == QStringLiteral("-"); }
    bool IsSubmenu() const { return !IsSeparator() && !command; }
};

struct Menu {
    QString objectName;
    QString caption;
    std::vector<MenuItem> items;
};

// The menu bar, in order.
const std::vector<Menu>& MenuBar();

// One toolbar button, or a separator when key is empty.
struct ToolbarItem {
    QString key; // the identifying text
    QString tooltip;
    std::optional<Command> command;
};

// The toolbar, left to right: eleven buttons and four separators, then a separator and the undo
// and redo buttons.
const std::vector<ToolbarItem>& ToolbarItems();

// The operation of a button key, compared exactly and case-sensitively; none for other texts.
std::optional<Command> CommandOfToolbarKey(const QString& key);

// "ﾊﾞｰｼﾞｮﾝ 1.0.0" = version 1.0.0
QString VersionText();
