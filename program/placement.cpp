#include "program/placement.h"

#include "platform/settings_store.h"
#include "platform/units.h"

#include <algorithm>
#include <cmath>

namespace {

const QString Application = QStringLiteral("Curvane");
const QString Section = QStringLiteral("Settings");

// Beyond this no screen reaches; a value past it is a damaged store, not a placement.
constexpr double FarthestTwips = 32767.0 * 15.0;

double Read(const SettingsStore& store, const QString& key, double fallback) {
    bool ok = false;
    const double value = store.Get(Application, Section, key, QString()).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > FarthestTwips) {
        return fallback;
    }
    return value;
}

QString Text(double twips) {
    return QString::number(std::lround(twips));
}

} // namespace

Placement LoadPlacement(const SettingsStore& store, const QString& window) {
    const Placement defaults;
    Placement p;
    p.left = Read(store, window + QStringLiteral("Left"), defaults.left);
    p.top = Read(store, window + QStringLiteral("Top"), defaults.top);
    p.width = Read(store, window + QStringLiteral("Width"), defaults.width);
    p.height = Read(store, window + QStringLiteral("Height"), defaults.height);
    // A window cannot be narrower than nothing.
    if (p.width <= 0) {
        p.width = defaults.width;
    }
    if (p.height <= 0) {
        p.height = defaults.height;
    }
    return p;
}

Placement FitToArea(const Placement& wanted, const TwipRect& area) {
    // One axis: the length no longer than the area's, the start pulled back inside it.
    const auto fit = [](double start, double length, double areaStart, double areaLength,
                        double& outStart, double& outLength) {
        outLength =
            std::clamp(std::isfinite(length) ? length : areaLength, 0.0, std::max(areaLength, 0.0));
        outStart = std::isfinite(start) ? start : areaStart;
        outStart = std::max(std::min(outStart, areaStart + areaLength - outLength), areaStart);
    };
    Placement fitted;
    fit(wanted.left, wanted.width, area.left, area.width, fitted.left, fitted.width);
    fit(wanted.top, wanted.height, area.top, area.height, fitted.top, fitted.height);
    return fitted;
}

Placement PlacementToSave(const Placement& read, const Placement& now) {
    const auto kept = [](double wasRead, double isNow) {
        return units::TwipsToWholePixels(wasRead) == units::TwipsToWholePixels(isNow) ? wasRead
                                                                                      : isNow;
    };
    return {kept(read.left, now.left), kept(read.top, now.top), kept(read.width, now.width),
            kept(read.height, now.height)};
}

void SavePlacement(SettingsStore& store, const Placement& p, WindowShow show,
                   const QString& window) {
    if (show == WindowShow::Minimized) {
        return;
    }
    store.Save(Application, Section, window + QStringLiteral("Left"), Text(p.left));
    store.Save(Application, Section, window + QStringLiteral("Top"), Text(p.top));
    store.Save(Application, Section, window + QStringLiteral("Width"), Text(p.width));
    store.Save(Application, Section, window + QStringLiteral("Height"), Text(p.height));
}
