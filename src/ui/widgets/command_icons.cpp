#include "ui/widgets/command_icons.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "ui/command_table.h"

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

QIcon CommandIcon(int id, const QString& caption, QSize size, qreal dpr, bool night) {
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
    qreal pt = area.height() * 0.8;
    for (; pt > 4; pt -= 0.5) {
        font.setPixelSize(qMax(4, int(pt)));
        const QRectF b = QFontMetricsF(font).boundingRect(sign);
        if (b.width() <= area.width() && b.height() <= area.height() * 1.15) break;
    }
    p.setFont(font);
    p.setPen(ink);
    p.drawText(area, Qt::AlignCenter, sign);
    return QIcon(pixmap);
}

}  // namespace celes
