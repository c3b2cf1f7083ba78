#include "ui/toolbaricons.h"

#include <QtCore/QSet>
#include <QtTest/QtTest>

class ToolbarIconsTest : public QObject {
    Q_OBJECT
private slots:
    void everyToolbarKeyHasItsOwnPicture();
    void unknownKeysGiveNoPicture_data();
    void unknownKeysGiveNoPicture();
    void appIconComesInEverySize();
};

namespace {

// The captions of the toolbar buttons, as the main window names them.
const QStringList ToolbarKeys = {
    QStringLiteral("新規作成"),         // new
    QStringLiteral("設定を開く"),       // open settings
    QStringLiteral("上書き保存"),       // overwrite save
    QStringLiteral("画像印刷"),         // print picture
    QStringLiteral("コピー"),           // copy
    QStringLiteral("消去文字の復活"),   // restore erased text
    QStringLiteral("詳細設定"),         // detailed settings
    QStringLiteral("ズームイン"),       // zoom in
    QStringLiteral("ズームアウト"),     // zoom out
    QStringLiteral("ｻｲｽﾞﾏｯﾁﾝｸﾞ"),       // size matching
    QStringLiteral("文字・記号の追加"), // add text or symbol
};

int OpaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
        }
    }
    return count;
}

} // namespace

void ToolbarIconsTest::everyToolbarKeyHasItsOwnPicture() {
    QSet<QByteArray> pictures;
    for (const QString& key : ToolbarKeys) {
        const QIcon icon = ToolbarIcon(key);
        QVERIFY2(!icon.isNull(), qPrintable(key));
        QVERIFY2(icon.availableSizes().contains(QSize(16, 16)), qPrintable(key));
        const QImage image = icon.pixmap(QSize(16, 16)).toImage();
        QCOMPARE(image.size(), QSize(16, 16));
        // Something is drawn, on a background that stays see-through.
        const int opaque = OpaquePixels(image);
        QVERIFY2(opaque > 30 && opaque < 16 * 16, qPrintable(key));
        const QImage raw = ToolbarIconImage(key, 16).convertToFormat(QImage::Format_ARGB32);
        pictures.insert(QByteArray(reinterpret_cast<const char*>(raw.constBits()),
                                   static_cast<qsizetype>(raw.sizeInBytes())));
    }
    QCOMPARE(pictures.size(), ToolbarKeys.size());
}

void ToolbarIconsTest::unknownKeysGiveNoPicture_data() {
    QTest::addColumn<QString>("key");
    QTest::newRow("empty") << QString();
    QTest::newRow("part of a caption") << QStringLiteral("新規"); // new (part)
    QTest::newRow("trailing space") << QStringLiteral("コピー "); // copy + space
    // The toolbar caption uses half-width katakana; the full-width spelling is another key.
    QTest::newRow("full-width size matching") << QStringLiteral("サイズマッチング");
}

void ToolbarIconsTest::unknownKeysGiveNoPicture() {
    QFETCH(QString, key);
    QVERIFY(ToolbarIcon(key).isNull());
    QVERIFY(ToolbarIconImage(key, 16).isNull());
}

void ToolbarIconsTest::appIconComesInEverySize() {
    const QIcon icon = AppIcon();
    for (const int size : {16, 24, 32, 48, 64}) {
        QVERIFY2(icon.availableSizes().contains(QSize(size, size)),
                 qPrintable(QString::number(size)));
        const QImage image = AppIconImage(size);
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY(OpaquePixels(image) > size * size / 2);
    }
    QVERIFY(AppIconImage(0).isNull());
}

QTEST_MAIN(ToolbarIconsTest)
#include "tst_toolbaricons.moc"
