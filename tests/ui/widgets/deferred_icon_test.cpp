// Icons drawn when first shown: a bar laid out with them draws nothing, the first request for
// pixels draws once for every copy, and the pixels are those of the drawing.
#include "ui/widgets/deferred_icon.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>

#include "ui/widgets/command_icons.h"
#include "ui/widgets/test_application.h"

namespace celes {
namespace {

QIcon Drawn(QSize size, QColor colour) {
    QPixmap pixmap(size * 2);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

TEST(DeferredIcon, LayoutDrawsNothingAndTheFirstShowingDrawsOnceForEveryCopy) {
    test::EnsureApplication();
    int draws = 0;
    const QSize size(28, 30);
    const QIcon icon = DeferredIcon(size, [&] {
        ++draws;
        return Drawn(size, Qt::red);
    });
    const QIcon copy = icon;  // as an action hands it to each of its buttons

    // What a bar asks while it lays out its buttons.
    QToolBar bar;
    bar.setIconSize(size);
    bar.addAction(icon, QStringLiteral("a"));
    bar.addAction(copy, QStringLiteral("b"));
    bar.adjustSize();
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(icon.actualSize(size), size);
    EXPECT_EQ(icon.actualSize(QSize(14, 100)), QSize(14, 15));  // shrunk to fit, shape kept
    EXPECT_EQ(icon.availableSizes(), QList<QSize>{size});
    EXPECT_EQ(draws, 0);

    const QImage shown = copy.pixmap(size, 2.0).toImage();
    const QImage again = icon.pixmap(size, 2.0).toImage();
    EXPECT_EQ(draws, 1);
    const QImage direct = Drawn(size, Qt::red).pixmap(size, 2.0).toImage();
    EXPECT_EQ(shown, direct);
    EXPECT_EQ(again, direct);

    // Painted straight onto a surface, as a menu does.
    QImage surface(size, QImage::Format_ARGB32_Premultiplied);
    surface.fill(Qt::black);
    {
        QPainter p(&surface);
        icon.paint(&p, QRect(QPoint(0, 0), size));
    }
    EXPECT_EQ(surface.pixelColor(size.width() / 2, size.height() / 2), QColor(Qt::red));
    EXPECT_EQ(draws, 1);
}

// A command's key: drawn at the device pixel ratio asked, the key's colour behind a sign that
// stays inside it (the corners are left clear), by day and at night.
TEST(DeferredIcon, CommandKeysAreDrawnWhenShown) {
    test::EnsureApplication();
    struct Case {
        int id;
        qreal dpr;
        bool night;
    };
    for (const Case c : {Case{32777, 1.0, false}, Case{32797, 2.0, false}, Case{32796, 1.5, true}}) {
        SCOPED_TRACE(c.id);
        const QSize size(28, 30);
        const QIcon icon = CommandIcon(c.id, QStringLiteral("今"), size, c.dpr, c.night);
        const QImage image = icon.pixmap(size, c.dpr).toImage();
        EXPECT_EQ(image.size(), QSize(qRound(28 * c.dpr), qRound(30 * c.dpr)));
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);  // outside the rounded key
        int ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor p = image.pixelColor(x, y);
                if (c.night ? (p.red() > 200 && p.green() < 60)
                            : (p.red() > 200 && p.green() > 200 && p.blue() > 200))
                    ++ink;
            }
        EXPECT_GT(ink, image.width() * image.height() / 40) << "the sign is drawn";
    }
}

}  // namespace
}  // namespace celes
