#include "ui/widgets/command_icons.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "ui/command_table.h"
#include "ui/widgets/deferred_icon.h"

namespace celes {

namespace {

using Family = GlyphFamily;

QColor KeyColour(Family f) {
    switch (f) {
        case Family::View:
            return QColor(40, 70, 130);
        case Family::Direction:
            return QColor(30, 100, 110);
        case Family::Layer:
            return QColor(60, 60, 90);
        case Family::Colour:
            return QColor(120, 50, 60);
        case Family::Time:
            return QColor(40, 100, 50);
        case Family::Telescope:
            return QColor(110, 80, 30);
        case Family::Taps:
            return QColor(90, 50, 110);
        case Family::Bar:
            return QColor(70, 70, 70);
        default:
            return QColor(80, 80, 80);
    }
}

}  // namespace

QString CommandGlyph(int id, const QString& caption) {
    const CommandRow* row = CommandTable::Row(id);
    if (row && row->glyph) return QString::fromUtf8(row->glyph);
    return caption.left(1);
}

namespace {

QIcon DrawCommandIcon(int id, const QString& caption, QSize size, qreal dpr, bool night) {
    const CommandRow* row = CommandTable::Row(id);
    const Family family = row ? row->family : Family::Other;
    const QString sign = CommandGlyph(id, caption);
    QPixmap pixmap(QSize(qRound(size.width() * dpr), qRound(size.height() * dpr)));
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF key = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1, 1, -1, -1);
    QPainterPath path;
    path.addRoundedRect(key, size.width() * 0.18, size.width() * 0.18);
    const QColor fill = night ? QColor(0, 0, 0) : KeyColour(family);
    const QColor edge = night ? QColor(120, 0, 0) : KeyColour(family).lighter(160);
    const QColor ink = night ? QColor(255, 0, 0) : QColor(Qt::white);
    p.fillPath(path, fill);
    p.setPen(QPen(edge, 1.0));
    p.drawPath(path);
    // The sign as large as fits the key with a small margin.
    QFont font(QStringLiteral("IPAPGothic"));
    font.setBold(true);
    const QRectF area = key.adjusted(2, 2, -2, -2);
    // The largest whole pixel size that fits, 4 at the least. Each size tried loads a font of its
    // own, so the search starts from the size in proportion to the overflow at the largest and
    // settles by single steps from there.
    QRectF b;
    const auto fits = [&](int px) {
        font.setPixelSize(px);
        b = QFontMetricsF(font).boundingRect(sign);
        return b.width() <= area.width() && b.height() <= area.height() * 1.15;
    };
    const int largest = qMax(4, int(area.height() * 0.8));
    if (!fits(largest)) {
        const qreal shrink =
            qMin(area.width() / qMax<qreal>(b.width(), 1), area.height() * 1.15 / qMax<qreal>(b.height(), 1));
        int px = qBound(4, int(largest * shrink), largest - 1);
        if (fits(px)) {
            while (px + 1 < largest && fits(px + 1)) ++px;
        } else {
            while (px > 4 && !fits(px - 1)) --px;
            if (px > 4) --px;
        }
        font.setPixelSize(px);
    }
    p.setFont(font);
    p.setPen(ink);
    p.drawText(area, Qt::AlignCenter, sign);
    return QIcon(pixmap);
}

}  // namespace

QIcon CommandIcon(int id, const QString& caption, QSize size, qreal dpr, bool night) {
    return DeferredIcon(size, [=] { return DrawCommandIcon(id, caption, size, dpr, night); });
}

}  // namespace celes
