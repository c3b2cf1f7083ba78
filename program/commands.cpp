#include "program/commands.h"

#include "plot/linestyle.h"

namespace {

MenuItem Entry(const char* name, const char* caption, Command command, const char* shortcut = "") {
    return {QString::fromLatin1(name),
            QString::fromUtf8(caption),
            QString::fromLatin1(shortcut),
            command,
            {}};
}

MenuItem Separator(const char* name) {
    return {QString::fromLatin1(name), QStringLiteral("-"), {}, std::nullopt, {}};
}

std::vector<Menu> BuildMenuBar() {
    // "線種" = line style; one entry per style, captioned as the pop-up menu shows them.
    MenuItem lineStyle{QStringLiteral("mnuLineStyle"), QStringLiteral("線種(&L)"), {}, {}, {}};
    const QStringList captions = LineStyleCaptions();
    const char* const names[] = {"mnuSolid1", "mnuSolid2", "mnuSolid3", "mnuDot1", "mnuDot2",
                                 "mnuDot3",   "mnuDash1",  "mnuDash2",  "mnuDash3"};
    for (int i = 0; i < captions.size(); ++i) {
        lineStyle.submenu.push_back({QString::fromLatin1(names[i]),
                                     captions.at(i),
                                     {},
                                     static_cast<Command>(static_cast<int>(Command::Solid1) + i),
                                     {}});
    }
    // "目盛りのプリセット" = scale presets
    MenuItem presets{
        QStringLiteral("mnuScalePreset"), QStringLiteral("目盛りのプリセット(&G)"), {}, {}, {}};
    const std::pair<const char*, Command> presetEntries[] = {
        {"mnuScaleStandard", Command::ScaleStandard},
        {"mnuScaleTrigonometric", Command::ScaleTrigonometric},
        {"mnuScaleZoom10", Command::ScaleZoom10}};
    for (const auto& [name, command] : presetEntries) {
        presets.submenu.push_back({QString::fromLatin1(name),
                                   ScalePresetCaption(*ScalePresetOf(command)),
                                   {},
                                   command,
                                   {}});
    }
    return {
        {QStringLiteral("mnuFile"),
         QStringLiteral("ﾌｧｲﾙ(&F)"), // file
         {Entry("mnuFileNew", "新規作成(&N)", Command::FileNew,
                "Ctrl+N"), // new
                           // "ワークシートを開く" = open a worksheet; "ワークシートの保存" = save
                           // the worksheet; "ワークシートに名前を付けて保存" = save the worksheet
                           // under a name
          Entry("mnuWorksheetOpen", "ワークシートを開く(&K)...", Command::WorksheetOpen, "Ctrl+O"),
          Entry("mnuWorksheetSave", "ワークシートの保存(&T)...", Command::WorksheetSave, "Ctrl+S"),
          Entry("mnuWorksheetSaveAs", "ワークシートに名前を付けて保存(&M)...",
                Command::WorksheetSaveAs, "Ctrl+Shift+S"),
          // "最近使ったファイル" = recently used files
          {QStringLiteral("mnuRecent"), QStringLiteral("最近使ったファイル"), {}, {}, {}},
          Separator("mnuFileBarW"),
          Entry("mnuFileOpen", "設定の読込み(&O)...", Command::FileOpen), // read settings
          Entry("mnuBMPRead", "画像の読込み(&R)", Command::BMPRead),      // read picture
          Separator("mnuFileBar0"),
          Entry("mnuBMPSave", "BMP上書き保存(&S)", Command::BMPSave), // overwrite bitmap
          Entry("mnuBMPSaveAs", "BMP名前を付けて保存(&A)...", Command::BMPSaveAs), // bitmap as
          Entry("mnuExport", "エクスポート(&E)...", Command::Export,
                "Ctrl+E"), // export at print quality
          Entry("mnuFileSave", "設定の上書き保存(&W)", Command::FileSave), // overwrite settings
          Entry("mnuFileSaveAs", "設定の保存(&L)", Command::FileSaveAs),   // save settings
          Separator("mnuFileBar1"),
          Entry("mnuBMPPrint", "画像の印刷(&P)...", Command::BMPPrint, "Ctrl+P"), // print picture
          Separator("mnuFileBar5"),
          Entry("mnuFileExit", "終了(&X)", Command::FileExit)}}, // exit
        {QStringLiteral("mnuEdit"),
         QStringLiteral("編集(&E)"),                                              // edit
         {Entry("mnuUndo", "元に戻す(&U)", Command::Undo, "Ctrl+Z"),              // undo
          Entry("mnuRedo", "やり直し(&R)", Command::Redo, "Ctrl+Y;Ctrl+Shift+Z"), // redo
          Separator("mnuEditBarU"),
          Entry("mnuToClipboard", "ｺﾋﾟｰ(&C)", Command::ToClipboard, "Ctrl+C"),         // copy
          Entry("mnuFromClipboard", "貼り付け(&P)", Command::FromClipboard, "Ctrl+V"), // paste
          Separator("mnuEditBar0"),
          Entry("mnuAddMoji", "文字･記号の追加(&A)", Command::AddMoji), // add text or symbol
          Entry("mnuSurface", "消去文字復活(&S)", Command::Surface)}},  // restore erased text
        {QStringLiteral("mnuView"),
         QStringLiteral("表示(&V)"), // view
         {lineStyle, presets, Separator("mnuViewBar1"),
          Entry("mnuSetMore", "詳細設定(&M)", Command::SetMore)}}, // detailed settings
        {QStringLiteral("mnuTools"),
         QStringLiteral("ﾂｰﾙ(&T)"),                                     // tools
         {Entry("mnuZoomIn", "ズームイン(&I)", Command::ZoomIn),        // zoom in
          Entry("mnuZoomOut", "ズームアウト(&O)", Command::ZoomOut),    // zoom out
          Entry("mnuValueTable", "数値表(&V)...", Command::ValueTable), // table of values
          Entry("mnuCalculus", "微分・積分(&D)...", Command::Calculus), // calculus
          Entry("mnuParameters", "パラメータ(&P)...", Command::ParameterWindow)}}, // parameters
        {QStringLiteral("mnuWindow"),
         QStringLiteral("ｳｨﾝﾄﾞｳ(&W)"),                                         // window
         {Entry("mnuMatching", "サイズのマッチング(&S)", Command::Matching)}}, // size matching
        {QStringLiteral("mnuHelp"),
         QStringLiteral("ﾍﾙﾌﾟ(&H)"),                                           // help
         {Entry("mnuHelpContents", "使い方(&C)", Command::HelpContents, "F1"), // how to use
          Separator("mnuHelpBar0"),
          Entry("mnuHelpAbout", "ﾊﾞｰｼﾞｮﾝ情報(&A)", Command::HelpAbout)}}, // version information
    };
}

ToolbarItem Button(const char* key, Command command, const char* tooltip = nullptr) {
    const QString text = QString::fromUtf8(key);
    return {text, tooltip ? QString::fromUtf8(tooltip) : text, command};
}

std::vector<ToolbarItem> BuildToolbar() {
    const ToolbarItem separator{};
    return {
        Button("新規作成", Command::FileNew),    // new
        Button("設定を開く", Command::FileOpen), // open settings
        Button("上書き保存", Command::FileSave), // overwrite save (settings)
        Button("画像印刷", Command::BMPPrint),   // print picture
        separator,
        Button("コピー", Command::ToClipboard, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞｺﾋﾟｰ"), // copy / clipboard copy
        Button("消去文字の復活", Command::Surface),               // restore erased text
        separator,
        Button("詳細設定", Command::SetMore), // detailed settings
        separator,
        Button("ズームイン", Command::ZoomIn),    // zoom in
        Button("ズームアウト", Command::ZoomOut), // zoom out
        Button("ｻｲｽﾞﾏｯﾁﾝｸﾞ", Command::Matching),  // size matching
        separator,
        Button("文字・記号の追加", Command::AddMoji), // add text or symbol
        separator,
        Button("元に戻す", Command::Undo), // undo
        Button("やり直し", Command::Redo), // redo
    };
}

} // namespace

const std::vector<Menu>& MenuBar() {
    static const std::vector<Menu> menus = BuildMenuBar();
    return menus;
}

const std::vector<ToolbarItem>& ToolbarItems() {
    static const std::vector<ToolbarItem> items = BuildToolbar();
    return items;
}

std::optional<Command> CommandOfToolbarKey(const QString& key) {
    for (const ToolbarItem& item : ToolbarItems()) {
        if (!item.key.isEmpty() && item.key.compare(key, Qt::CaseSensitive) == 0) {
            return item.command;
        }
    }
    return std::nullopt;
}

QString VersionText() {
    // "ﾊﾞｰｼﾞｮﾝ " = version
    return QStringLiteral("ﾊﾞｰｼﾞｮﾝ %1.%2.%3")
        .arg(CURVANE_VERSION_MAJOR)
        .arg(CURVANE_VERSION_MINOR)
        .arg(CURVANE_VERSION_PATCH);
}

std::optional<int> LineStyleIndex(Command command) {
    const int index = static_cast<int>(command) - static_cast<int>(Command::Solid1);
    if (index < 0 || index > static_cast<int>(Command::Dash3) - static_cast<int>(Command::Solid1)) {
        return std::nullopt;
    }
    return index;
}

std::optional<ScalePreset> ScalePresetOf(Command command) {
    switch (command) {
    case Command::ScaleStandard:
        return ScalePreset::Standard;
    case Command::ScaleTrigonometric:
        return ScalePreset::Trigonometric;
    case Command::ScaleZoom10:
        return ScalePreset::Zoom10;
    default:
        return std::nullopt;
    }
}
