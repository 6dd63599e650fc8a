// lumibran-icon DIR SIZE...: draws the program's icon into
// DIR/<size>x<size>/apps/lumibran.png at each size; the build runs it with the
// sizes of the hicolor icon theme.
#include "views/ButtonPictures.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: lumibran-icon DIR SIZE...\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    for (int arg = 2; arg < argc; ++arg) {
        const int size = std::atoi(argv[arg]);
        if (size <= 0) {
            std::fprintf(stderr, "lumibran-icon: not a size: %s\n", argv[arg]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 64.0, size / 64.0);
        // The two add buttons' pictures, payout behind income: a ledger of both.
        p.save();
        p.translate(22, 22);
        p.scale(0.66, 0.66);
        drawButtonPicture(p, ButtonPicture::AddPayout);
        p.restore();
        p.scale(0.66, 0.66);
        drawButtonPicture(p, ButtonPicture::AddIncome);
        p.end();
        const QString sub = QStringLiteral("%1x%1/apps").arg(size);
        if (!dir.mkpath(sub) || !image.save(dir.filePath(sub + QStringLiteral("/lumibran.png")))) {
            std::fprintf(stderr, "lumibran-icon: cannot write %s\n", qPrintable(dir.filePath(sub)));
            return 1;
        }
    }
    return 0;
}
