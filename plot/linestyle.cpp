#include "plot/linestyle.h"

std::int16_t PenStyleOfCode(const QString& code) {
    // Only the nine codes name a pattern: a file's "鎖5" or "点" is a solid pen.
    if (code == QStringLiteral("鎖1") || code == QStringLiteral("鎖2") ||
        code == QStringLiteral("鎖3")) { // "鎖" = chain
        return ChainPen;
    }
    if (code == QStringLiteral("点1") || code == QStringLiteral("点2") ||
        code == QStringLiteral("点3")) { // "点" = dotted
        return DottedPen;
    }
    return SolidPen;
}

std::int16_t PenWidthOfCode(const QString& code) {
    if (code.isEmpty()) {
        return 0;
    }
    const QChar last = code.back();
    return last.isDigit() && last.unicode() < 0x80 ? static_cast<std::int16_t>(last.digitValue())
                                                   : std::int16_t(0);
}

QStringList LineStyleCaptions() {
    // thin / medium / thick solid, dotted and chain lines
    return {QStringLiteral("細い実線（実1）"), QStringLiteral("中太実線（実2）"),
            QStringLiteral("太い実線（実3）"), QStringLiteral("細い点線（点1）"),
            QStringLiteral("中太点線（点2）"), QStringLiteral("太い点線（点3）"),
            QStringLiteral("細い鎖線（鎖1）"), QStringLiteral("中太鎖線（鎖2）"),
            QStringLiteral("太い鎖線（鎖3）")};
}

QStringList LineStyleCodes() {
    return {QStringLiteral("実1"), QStringLiteral("実2"), QStringLiteral("実3"),
            QStringLiteral("点1"), QStringLiteral("点2"), QStringLiteral("点3"),
            QStringLiteral("鎖1"), QStringLiteral("鎖2"), QStringLiteral("鎖3")};
}
