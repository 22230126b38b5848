#include "geos/GeoWriteText.h"

#include <QFont>
#include <QImage>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include "geos/GeosPictureWidget.h"
#include "support/CodePage.h"

namespace qv::app {

namespace {

constexpr double kTwipsPerPoint = 20.0;

QColor colourOf(Rgb rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb & 0xFFFFFF));
}

QTextCharFormat charFormat(const CharFormat& f, const RichFont& base) {
    QTextCharFormat c;
    c.setFontFamilies({QString::fromStdString(f.face ? *f.face : base.name)});
    c.setFontPointSize(f.points ? *f.points : base.points);
    c.setFontWeight(f.bold.value_or(false) ? QFont::Bold : QFont::Normal);
    c.setFontItalic(f.italic.value_or(false));
    c.setFontUnderline(f.underline.value_or(false));
    if (f.outline.value_or(false)) {
        // Outlined letters: the outline drawn, the inside left empty.
        c.setTextOutline(QPen(f.colour ? colourOf(*f.colour) : QColor(Qt::black), 0.5));
        c.setForeground(Qt::transparent);
    } else if (f.colour) {
        c.setForeground(colourOf(*f.colour));
    }
    if (f.background)
        c.setBackground(colourOf(*f.background));
    const int offset = f.offset.value_or(0);
    if (offset > 0)
        c.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (offset < 0)
        c.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    return c;
}

}  // namespace

QTextBlockFormat geoWriteBlockFormat(const ParagraphFormat& p, double pixelsPerPoint) {
    const double px = pixelsPerPoint / kTwipsPerPoint;
    QTextBlockFormat b;
    b.setLeftMargin(p.leftIndent * px);
    b.setTextIndent(p.firstLineIndent * px);
    b.setRightMargin(p.rightIndent * px);
    switch (p.alignment) {
        case ParagraphAlignment::Left:
            b.setAlignment(Qt::AlignLeft);
            break;
        case ParagraphAlignment::Centre:
            b.setAlignment(Qt::AlignHCenter);
            break;
        case ParagraphAlignment::Right:
            b.setAlignment(Qt::AlignRight);
            break;
        case ParagraphAlignment::Justified:
            b.setAlignment(Qt::AlignJustify);
            break;
    }
    switch (p.spacing) {
        case LineSpacing::Single:
            break;
        case LineSpacing::OneAndHalf:
            b.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
            break;
        case LineSpacing::Double:
            b.setLineHeight(200, QTextBlockFormat::ProportionalHeight);
            break;
    }
    QList<QTextOption::Tab> tabs;
    for (const TabStop& t : p.tabs) {
        const double x = t.position * px;
        if (x <= 0)
            continue;
        if (t.alignment == TabAlignment::Decimal)
            tabs.append(QTextOption::Tab(x, QTextOption::DelimiterTab, QChar(u'.')));
        else
            tabs.append(QTextOption::Tab(x, QTextOption::LeftTab));
    }
    b.setTabPositions(tabs);
    return b;
}

void fillGeoWriteDocument(QTextDocument& target, const RichDocument& document,
                          double pixelsPerPoint) {
    target.clear();
    QFont base(QString::fromStdString(document.font.name));
    base.setPointSizeF(document.font.points);
    target.setDefaultFont(base);
    QTextCursor c(&target);
    c.beginEditBlock();
    std::size_t paragraph = 0;
    c.setBlockFormat(geoWriteBlockFormat(document.paragraphFormat(0), pixelsPerPoint));

    std::size_t nextPicture = 0;
    int pictureNumber = 0;
    const std::string& text = document.text;
    auto insertPicturesAt = [&](std::size_t position, const QTextCharFormat& format) {
        while (nextPicture < document.pictures.size() &&
               document.pictures[nextPicture].position <= position) {
            const QImage image = toQImage(document.pictures[nextPicture].image);
            ++nextPicture;
            if (image.isNull())
                continue;
            const QString name = QStringLiteral("geowrite-picture-%1").arg(pictureNumber++);
            target.addResource(QTextDocument::ImageResource, QUrl(name), image);
            QTextImageFormat f;
            f.setName(name);
            f.setWidth(image.width());
            f.setHeight(image.height());
            c.insertImage(f);
            c.setCharFormat(format);
        }
    };

    for (const FormatRange& run : document.runs()) {
        const QTextCharFormat format = charFormat(run.format, document.font);
        c.setCharFormat(format);
        QString pending;
        auto flush = [&] {
            if (!pending.isEmpty()) {
                c.insertText(pending, format);
                pending.clear();
            }
        };
        for (std::size_t i = run.start; i < run.end; ++i) {
            if (nextPicture < document.pictures.size() &&
                document.pictures[nextPicture].position <= i) {
                flush();
                insertPicturesAt(i, format);
            }
            const auto b = static_cast<std::uint8_t>(text[i]);
            if (b == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                continue;
            if (b == '\n') {
                flush();
                ++paragraph;
                c.insertBlock(
                    geoWriteBlockFormat(document.paragraphFormat(paragraph), pixelsPerPoint),
                    format);
                continue;
            }
            pending.append(QChar(static_cast<char16_t>(toUnicode(document.codePage, b))));
        }
        flush();
    }
    insertPicturesAt(text.size(), c.charFormat());
    c.endEditBlock();
}

}  // namespace qv::app
