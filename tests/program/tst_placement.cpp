#include "platform/settings_store.h"
#include "program/placement.h"

#include <QtCore/QMap>
#include <QtTest/QtTest>
#include <cmath>
#include <limits>

namespace {

// A screen of 1600 × 1140 pixels available below a 60-pixel panel, in twips.
const TwipRect Area{0, 900, 24000, 17100};

// A store in memory.
class MapStore : public SettingsStore {
public:
    QMap<QString, QString> values;
    QString Get(const QString&, const QString&, const QString& key,
                const QString& fallback) const override {
        return values.value(key, fallback);
    }
    void Save(const QString&, const QString&, const QString& key, const QString& value) override {
        values[key] = value;
    }
};

} // namespace

class PlacementTest : public QObject {
    Q_OBJECT
private slots:
    void fitsTheAvailableArea_data();
    void fitsTheAvailableArea();
    void anAbsurdStoreGivesAWindowTheScreenCanHold();
    void anUnchangedPlacementIsStoredAsRead();
};

void PlacementTest::fitsTheAvailableArea_data() {
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("fittedLeft");
    QTest::addColumn<double>("fittedTop");
    QTest::addColumn<double>("fittedWidth");
    QTest::addColumn<double>("fittedHeight");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("fits: unchanged")
        << 1500.0 << 1200.0 << 6915.0 << 5955.0 << 1500.0 << 1200.0 << 6915.0 << 5955.0;
    QTest::newRow("fits exactly") << 0.0 << 900.0 << 24000.0 << 17100.0 << 0.0 << 900.0 << 24000.0
                                  << 17100.0;
    QTest::newRow("too wide: as wide as the area, at its left")
        << 1500.0 << 1200.0 << 491505.0 << 5955.0 << 0.0 << 1200.0 << 24000.0 << 5955.0;
    QTest::newRow("too high: as high as the area, at its top")
        << 1500.0 << 1200.0 << 6915.0 << 32767.0 << 1500.0 << 900.0 << 6915.0 << 17100.0;
    QTest::newRow("too large both ways")
        << 1000.0 << 1000.0 << 491505.0 << 491505.0 << 0.0 << 900.0 << 24000.0 << 17100.0;
    QTest::newRow("too far left") << -400000.0 << 1200.0 << 6915.0 << 5955.0 << 0.0 << 1200.0
                                  << 6915.0 << 5955.0;
    QTest::newRow("above the area, under the panel")
        << 1500.0 << 0.0 << 6915.0 << 5955.0 << 1500.0 << 900.0 << 6915.0 << 5955.0;
    QTest::newRow("too far right: its right edge on the area's")
        << 20000.0 << 1200.0 << 6915.0 << 5955.0 << 17085.0 << 1200.0 << 6915.0 << 5955.0;
    QTest::newRow("too far down: its bottom edge on the area's")
        << 1500.0 << 400000.0 << 6915.0 << 5955.0 << 1500.0 << 12045.0 << 6915.0 << 5955.0;
    QTest::newRow("negative position and size")
        << -30.0 << -45.0 << -6915.0 << -1.0 << 0.0 << 900.0 << 0.0 << 0.0;
    QTest::newRow("no number at all: the whole area")
        << inf << -inf << inf << std::nan("") << 0.0 << 900.0 << 24000.0 << 17100.0;
}

void PlacementTest::fitsTheAvailableArea() {
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(double, width);
    QFETCH(double, height);
    const Placement fitted = FitToArea(Placement{left, top, width, height}, Area);
    QTEST(fitted.left, "fittedLeft");
    QTEST(fitted.top, "fittedTop");
    QTEST(fitted.width, "fittedWidth");
    QTEST(fitted.height, "fittedHeight");
}

void PlacementTest::anAbsurdStoreGivesAWindowTheScreenCanHold() {
    MapStore store;
    store.values = {{QStringLiteral("MainLeft"), QStringLiteral("-491505")},
                    {QStringLiteral("MainTop"), QStringLiteral("491505")},
                    {QStringLiteral("MainWidth"), QStringLiteral("491505")},
                    {QStringLiteral("MainHeight"), QStringLiteral("491505")}};
    const Placement fitted = FitToArea(LoadPlacement(store), Area);
    QCOMPARE(fitted.left, 0.0);
    QCOMPARE(fitted.top, 900.0);
    QCOMPARE(fitted.width, 24000.0);
    QCOMPARE(fitted.height, 17100.0);
    // Stored again at exit, it stays what the screen can hold.
    SavePlacement(store, fitted, WindowShow::Normal);
    QCOMPARE(store.values.value(QStringLiteral("MainWidth")), QStringLiteral("24000"));
    QCOMPARE(store.values.value(QStringLiteral("MainTop")), QStringLiteral("900"));
}

// 7000 twips are 466.7 pixels, shown as 467, which are 7005 twips: a value whose pixels did not
// change goes back as read (twice in a row), one that moved by a pixel is stored as it is now.
void PlacementTest::anUnchangedPlacementIsStoredAsRead() {
    MapStore store;
    store.values = {{QStringLiteral("MainTop"), QStringLiteral("1010")},
                    {QStringLiteral("MainHeight"), QStringLiteral("7000")}};
    for (int run = 0; run < 2; ++run) {
        SavePlacement(store, PlacementToSave(LoadPlacement(store), {1005, 1020, 6915, 7005}),
                      WindowShow::Normal);
    }
    QCOMPARE(store.values, (QMap<QString, QString>{{QStringLiteral("MainLeft"), "1000"},
                                                   {QStringLiteral("MainTop"), "1020"},
                                                   {QStringLiteral("MainWidth"), "6915"},
                                                   {QStringLiteral("MainHeight"), "7000"}}));
}

QTEST_GUILESS_MAIN(PlacementTest)
#include "tst_placement.moc"
