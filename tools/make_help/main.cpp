// Writes the program's user guide as a PDF. Our own text, laid out by QTextDocument on A4 pages.

#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextStream>

#include <cstdio>

namespace {

const char* const guide = R"(
<h1>NAVU Photo Frame</h1>
<p class="sub">User guide</p>

<h2>Getting started</h2>
<p>Every run begins with the start wizard. Fill in the title, message, date, time, venue and sender of your
card, choose a main photo and a frame, and pick the size and shape of the card; the wizard then builds the
design for you. You can also open a design you saved before. Cancelling the wizard ends the program.</p>

<h2>Designing a card</h2>
<p>A card has a front and, if you like, a back. Switch between them with the side buttons above the canvas.
Choose a tool from the palette and drag on the card to add a text, a picture, a shape, a line, a signature
or fingerprint box, or a barcode. Select items to move, resize, align, lock, copy and paste them; the
inspector at the right shows and changes the properties of the selection or of the card itself.</p>
<p>Double-click a barcode to open the barcode designer, where you choose the symbology, the value, the
header and footer texts, fonts, colours and sizes.</p>

<h2>Cards from your own data</h2>
<p>A text, picture or barcode item can take its value from a series (a named list of values) or from a
column of a spreadsheet you imported into the data table. Printing, exporting and e-mailing then make one
card per row, each with that row's values. Series are made, imported and edited in the series manager.</p>

<h2>Printing labels</h2>
<p>Choose <b>File &gt; Print</b> (Ctrl+P). The print dialog lays out copies of your card in rows and columns on
each sheet. Set the label size, the gaps between labels, the number of rows and columns and where the block
of labels sits on the sheet, or let the program centre them with equal spacing. Choose which side each
label shows: the front, the back, or both (one above the other, or side by side).</p>
<p>The sheet preview at the right follows every change. <b>Preview</b> shows the real pages,
<b>Print</b> sends them to the printer. Choose <b>PDF file</b> as the printer to save the sheets as a PDF
document; this is also how you print on a computer without a printer. When the card is bound to data, each
label shows the next row, and the number of labels is the number of rows.</p>

<h2>Exporting images</h2>
<p>Choose <b>File &gt; Export Image</b> (Ctrl+E). Export the front, the back, or both sides; both sides can go
into one picture with the front above the back. Pictures are saved in the chosen type (PNG, JPEG, TIFF, BMP or
GIF) at the chosen resolution: 300 dpi unless you pick 72, 150 or 600. Without data you choose
the file name; the back side is saved beside it with "_Back" added to the name. With data you choose a
folder: the cards are written to a folder named "NAVU Photo Frame" inside it, as Card_1, Card_2 and so on,
while a progress window shows how far the export has come. Stop ends the export after the current card;
the cards written so far stay. Before files of the same names are replaced you are asked.</p>

<h2>E-mail</h2>
<p>Cards can be sent as picture attachments by e-mail through your own mail account. Enter the server and
account details once in the e-mail settings. When a mail cannot be sent, the message at the end says why (for
example a refused login or a certificate that is not trusted); Stop ends the mail being sent at once.</p>

<h2>Profiles</h2>
<p>A profile holds your name, title, company, address, phone and other business details for each side, and
places them on the card as ready-made items. <b>Edit &gt; User Profile...</b> fills the side on screen; the
<b>User Profile...</b> button of the start wizard and of the template browser fills both sides of the card you
go on to make.</p>

<h2>Help and support</h2>
<p>Choose <b>Help &gt; NAVU Photo Frame Help</b> (F1) to open this guide. Designs are saved with the extension .kvto; keep a copy of designs you care about.</p>
)";

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_help <output.pdf>\n");
        return 2;
    }
    QPdfWriter writer(QString::fromLocal8Bit(argv[1]));
    writer.setTitle(QStringLiteral("NAVU Photo Frame User Guide"));
    writer.setCreator(QStringLiteral("NAVU Photo Frame"));
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 11));
    doc.setDefaultStyleSheet(
        QStringLiteral("h1 { font-size: 26pt; color: #1f4e8c; } "
                       "h2 { font-size: 15pt; color: #1f4e8c; margin-top: 14px; } "
                       "p { line-height: 130%; } .sub { font-size: 14pt; color: #555; }"));
    doc.setHtml(QString::fromUtf8(guide));
    doc.print(&writer);
    return 0;
}
