#include "ui/widgets/command_icons.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <map>

#include "ui/widgets/deferred_icon.h"

namespace celes {

namespace {

// Families of signs share a key colour so a set reads at a glance: views, directions, layers,
// colour, time, telescope, taps and the bar's own keys.
enum class Family { View, Direction, Layer, Colour, Time, Telescope, Taps, Bar, Other };

struct Glyph {
    const char* sign;
    Family family;
};

const std::map<int, Glyph>& Glyphs() {
    static const std::map<int, Glyph> glyphs = {
        {32774, {"場所", Family::Other}},     {32775, {"設定", Family::Other}},
        {32776, {"日時", Family::Time}},      {32777, {"今", Family::Time}},
        {32778, {"自動", Family::Time}},      {32779, {"極", Family::Layer}},
        {32780, {"昼", Family::Colour}},      {32789, {"名", Family::Layer}},
        {32790, {"大", Family::Colour}},      {32791, {"彩", Family::Colour}},
        {32796, {"東", Family::Direction}},   {32797, {"天頂", Family::View}},
        {32798, {"南", Family::Direction}},   {32799, {"西", Family::Direction}},
        {32800, {"北", Family::Direction}},   {32801, {"早見", Family::View}},
        {32805, {"全", Family::Direction}},   {32806, {"極軸", Family::View}},
        {32807, {"白黒", Family::Colour}},    {32808, {"地", Family::Layer}},
        {32810, {"軌道", Family::View}},      {32811, {"赤経", Family::Layer}},
        {32812, {"M", Family::Layer}},        {32813, {"輝", Family::Colour}},
        {32814, {"青", Family::Colour}},      {32818, {"全座", Family::Layer}},
        {32819, {"全星", Family::Layer}},     {32820, {"座", Family::Layer}},
        {32821, {"選1", Family::Taps}},       {32822, {"絵", Family::Layer}},
        {32823, {"色", Family::Colour}},      {32824, {"4等", Family::Layer}},
        {32825, {"×", Family::Other}},        {32826, {"今日", Family::Other}},
        {32830, {"≡", Family::Bar}},          {32835, {"選絵", Family::Taps}},
        {32836, {"選名", Family::Taps}},      {32838, {"複数", Family::Layer}},
        {32839, {"↻", Family::Time}},         {32840, {"線", Family::Layer}},
        {32841, {"選線", Family::Taps}},      {32842, {"固定", Family::Taps}},
        {32846, {"高", Family::Direction}},   {32847, {"中", Family::Direction}},
        {32848, {"低", Family::Direction}},   {32850, {"追加", Family::Layer}},
        {32851, {"選2", Family::Taps}},       {32852, {"登録", Family::Taps}},
        {32854, {"変更", Family::Taps}},      {32856, {"ﾀｯﾌﾟ", Family::Layer}},
        {32857, {"赤", Family::Colour}},      {32858, {"黒白", Family::Colour}},
        {32860, {"拡大", Family::View}},      {32862, {"ﾅﾋﾞ", Family::View}},
        {32863, {"黄道", Family::Layer}},     {32865, {"全画", Family::View}},
        {32867, {"ｷｰ", Family::Taps}},        {32868, {"鏡", Family::Telescope}},
        {32870, {"導入", Family::Telescope}}, {32871, {"選3", Family::Taps}},
        {32872, {"位置", Family::Telescope}}, {32873, {"望", Family::Telescope}},
        {32874, {"軌跡", Family::Telescope}}, {32875, {"▶▶", Family::Time}},
        {32876, {"刻み", Family::Time}},      {32877, {"JPG", Family::Other}},
        {32878, {"▲", Family::Bar}},          {32879, {"←", Family::View}},
        {32880, {"→", Family::View}},         {32881, {"↑", Family::View}},
        {32882, {"↓", Family::View}},         {32883, {"＋", Family::View}},
        {32884, {"－", Family::View}},        {32887, {"◀", Family::Telescope}},
        {32888, {"速", Family::Telescope}},   {32889, {"遅", Family::Telescope}},
        {32890, {"▶", Family::Telescope}},    {32891, {"▲", Family::Telescope}},
        {32892, {"▼", Family::Telescope}},    {32907, {"▲?", Family::Bar}},
        {32908, {"ﾂｰﾙ", Family::Bar}},        {32909, {"ﾂｰﾙ+", Family::Bar}},
        {32910, {"»", Family::Bar}},          {32911, {"ｼﾌﾄ-", Family::Layer}},
        {32912, {"ｼﾌﾄ+", Family::Layer}},     {32913, {"字+", Family::Layer}},
        {32914, {"字-", Family::Layer}},      {32916, {"«", Family::Bar}},
        {32917, {"M#", Family::Layer}},       {32918, {"星名", Family::Layer}},
        {32919, {"等-", Family::Layer}},      {32920, {"等+", Family::Layer}},
        {32921, {"写真", Family::Layer}},     {32922, {"⊕", Family::Layer}},
        {32923, {"☾", Family::Layer}},        {32924, {"☉×", Family::Layer}},
        {32925, {"惑×", Family::Layer}},      {32926, {"惑字", Family::Layer}},
        {32928, {"地平", Family::Layer}},     {32929, {"+1h", Family::Time}},
        {32930, {"-1h", Family::Time}},       {32931, {"+10m", Family::Time}},
        {32932, {"-10m", Family::Time}},      {32933, {"説明", Family::Other}},
        {32934, {"方角", Family::View}},      {32936, {"目盛", Family::Layer}},
        {32937, {"①", Family::Taps}},         {32938, {"②", Family::Taps}},
        {32939, {"③", Family::Taps}},         {32940, {"①×", Family::Taps}},
        {32941, {"光+", Family::Layer}},      {32942, {"光-", Family::Layer}},
        {32943, {"ｽﾞｰﾑ", Family::View}},      {32944, {"地上", Family::Other}},
        {32960, {"編集", Family::Other}},     {32961, {"天川", Family::Layer}},
        {32963, {"音声", Family::Other}},     {57664, {"?", Family::Other}},
        {57665, {"終", Family::Other}},
    };
    return glyphs;
}

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
    const auto it = Glyphs().find(id);
    if (it != Glyphs().end()) return QString::fromUtf8(it->second.sign);
    return caption.left(1);
}

namespace {

QIcon DrawCommandIcon(int id, const QString& caption, QSize size, qreal dpr, bool night) {
    const auto it = Glyphs().find(id);
    const Family family = it != Glyphs().end() ? it->second.family : Family::Other;
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
