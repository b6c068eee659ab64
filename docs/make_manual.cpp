// Builds the user manual PDF from its Markdown source:
//   make_manual SOURCE.md IMAGE_DIR OUTPUT.pdf
// Images are referred to as images/NAME.png in the source; a picture not taken
// yet is left out rather than failing the build.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

#include <cstdio>

namespace {

void addImages(QTextDocument& document, const QString& folder)
{
    const QStringList names = QDir(folder).entryList({ "*.png" }, QDir::Files);
    for (const QString& name : names) {
        QImage image(folder + "/" + name);
        if (!image.isNull())
            document.addResource(QTextDocument::ImageResource, QUrl("images/" + name), image);
    }
}

// Images are sized in pixels of a 96 dpi screen; wider ones are scaled down
// to the text width.
void fitImages(QTextDocument& document, qreal textWidth)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            QTextImageFormat format = fragment.fragment().charFormat().toImageFormat();
            if (!format.isValid())
                continue;
            QImage image = document.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
            if (image.isNull() || image.width() <= textWidth)
                continue;
            format.setWidth(textWidth);
            format.setHeight(textWidth * image.height() / image.width());
            QTextCursor cursor(&document);
            cursor.setPosition(fragment.fragment().position());
            cursor.setPosition(fragment.fragment().position() + fragment.fragment().length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
}

// Markdown has no page breaks: every chapter after the title page starts a page.
void breakBeforeChapters(QTextDocument& document)
{
    bool first = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() != 1)
            continue;
        if (!first) {
            QTextCursor cursor(block);
            QTextBlockFormat format = block.blockFormat();
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            cursor.setBlockFormat(format);
        }
        first = false;
    }
}

// The Markdown import draws tables with double lines and no room in the cells.
void styleTables(QTextDocument& document)
{
    const QList<QTextFrame*> frames = document.rootFrame()->childFrames();
    for (QTextFrame* frame : frames) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        QTextTableFormat format = table->format();
        format.setBorderCollapse(true);
        format.setBorder(0);
        format.setCellPadding(4);
        format.setCellSpacing(0);
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        format.setTopMargin(4);
        format.setBottomMargin(8);
        table->setFormat(format);
        for (int row = 0; row < table->rows(); ++row) {
            for (int column = 0; column < table->columns(); ++column) {
                QTextTableCell cell = table->cellAt(row, column);
                QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
                cellFormat.setBottomBorder(0.6);
                cellFormat.setBottomBorderStyle(QTextFrameFormat::BorderStyle_Solid);
                cellFormat.setBottomBorderBrush(QColor(170, 170, 170));
                if (row == 0)
                    cellFormat.setBackground(QColor(230, 234, 240));
                cell.setFormat(cellFormat);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Runs during the build, where there may be no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_manual SOURCE.md IMAGE_DIR OUTPUT.pdf\n");
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "make_manual: cannot read %s\n", argv[1]);
        return 1;
    }

    QTextDocument document;
    QFont font("DejaVu Sans", 11);
    document.setDefaultFont(font);
    // Images after the text: setMarkdown() clears the document's resources.
    document.setMarkdown(QString::fromUtf8(source.readAll()));
    addImages(document, QString::fromLocal8Bit(argv[2]));
    breakBeforeChapters(document);
    styleTables(document);

    QPdfWriter writer(QString::fromLocal8Bit(argv[3]));
    writer.setTitle("Velmora LDAP Browser User Manual");
    writer.setCreator("Velmora LDAP Browser");
    writer.setResolution(300);
    // print() adds margins of 2 cm of its own.
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    const qreal textInches = writer.pageLayout().paintRect(QPageLayout::Inch).width() - 2 * 2 / 2.54;
    fitImages(document, textInches * 96);
    // print() lays the document out on the writer's pages and numbers them.
    document.print(&writer);
    return 0;
}
