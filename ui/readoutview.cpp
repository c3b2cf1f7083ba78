#include "ui/readoutview.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>

namespace {

constexpr int Margin = 2;
constexpr double SmallestPoints = 6.0;

} // namespace

ReadoutView::ReadoutView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("lblReadout"));
    // A tooltip's colours: it floats over the sheet when the panel has no room for it.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ReadoutView::SetLines(std::vector<ReadoutLine> lines) {
    m_lines = std::move(lines);
    update();
}

QString ReadoutView::PlainText() const {
    QStringList texts;
    for (const ReadoutLine& line : m_lines) {
        texts << line.text;
    }
    return texts.join(QLatin1Char('\n'));
}

QSize ReadoutView::FitToWidth(int width) {
    QFont font = parentWidget() != nullptr ? parentWidget()->font() : this->font();
    double points = font.pointSizeF() > 0 ? font.pointSizeF() : 9.0;
    int widest = 0;
    for (;; points -= 0.5) {
        font.setPointSizeF(points);
        const QFontMetrics metrics(font);
        widest = 0;
        for (const ReadoutLine& line : m_lines) {
            widest = std::max(widest, metrics.horizontalAdvance(line.text));
        }
        if (widest + 2 * Margin <= width || points <= SmallestPoints) {
            break;
        }
    }
    setFont(font);
    return {widest + 2 * Margin,
            static_cast<int>(m_lines.size()) * QFontMetrics(font).lineSpacing() + 2 * Margin};
}

void ReadoutView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QFontMetrics metrics(font());
    int top = Margin;
    for (const ReadoutLine& line : m_lines) {
        painter.setPen(ToQColor(line.colour));
        painter.drawText(QRect(Margin, top, width() - 2 * Margin, metrics.lineSpacing()),
                         Qt::AlignLeft | Qt::AlignVCenter, line.text);
        top += metrics.lineSpacing();
    }
}
