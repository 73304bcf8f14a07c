#include "TabWindows.h"

#include "AsciiTab.h"
#include "DialogButtons.h"
#include "FixedPitchFont.h"
#include "LineParser.h"
#include "MessageBoxes.h"
#include "SaveFileDialog.h"
#include "TabPainter.h"
#include "TabTitles.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

namespace fw {

namespace {

    constexpr int ButtonTop = 5;
    constexpr int ButtonWidth = 75;
    constexpr int ButtonHeight = 25;
    // The views start 40 pixels from the window top: the scroll box holds them below the buttons.
    constexpr int ScrollBoxTop = 35;
    constexpr int ViewTop = 40 - ScrollBoxTop;
    constexpr int PaintBoxLeft = 12;
    constexpr int MemoLeft = 11;
    constexpr int RightMargin = 7;
    constexpr int MinViewWidth = 200;
    constexpr int LineStep = 10;
    constexpr int PageStep = 50;

    void Name(QWidget* widget, const QString& objectName, const QString& accessibleName)
    {
        widget->setObjectName(objectName);
        widget->setAccessibleName(accessibleName);
    }

    void Hint(QWidget* widget, const QString& hint)
    {
        widget->setToolTip(hint);
        widget->setAccessibleDescription(hint);
    }

    QPushButton* MakeButton(QWidget* parent, const QString& objectName, const QString& caption, int left)
    {
        auto* button = new QPushButton(caption, parent);
        Name(button, objectName, caption);
        button->setGeometry(left, ButtonTop, ButtonWidth, ButtonHeight);
        button->setAutoDefault(false);
        return button;
    }

    // The window's own boxes, for when the main window does not hand it its own.
    class WindowMessageBoxes : public MessageBoxes {
    public:
        explicit WindowMessageBoxes(QWidget& parent)
            : m_parent(parent)
        {
        }
        void errorBox(const QString& text) override { QMessageBox::critical(&m_parent, Caption(), text); }
        void plainBox(const QString& text) override
        {
            QMessageBox box(QMessageBox::NoIcon, Caption(), text, QMessageBox::Ok, &m_parent);
            box.exec();
        }
        void warningBox(const QString& text) override { QMessageBox::warning(&m_parent, Caption(), text); }
        void informationBox(const QString& text) override { QMessageBox::information(&m_parent, Caption(), text); }
        Answer askYesNoCancel(const QString& text) override
        {
            switch (QMessageBox::question(&m_parent, Caption(), text,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel)) {
            case QMessageBox::Yes:
                return Answer::Yes;
            case QMessageBox::No:
                return Answer::No;
            default:
                return Answer::Cancel;
            }
        }

    private:
        static QString Caption() { return QStringLiteral("Fretwerk Bass"); }
        QWidget& m_parent;
    };

} // namespace

bool QtPrintDialog::choosePrinter(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    // Every page is printed: no page range, selection or current page to choose.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
    return dialog.exec() == QDialog::Accepted;
}

TabPaintBox::TabPaintBox(TfrmTab& window)
    : QWidget(nullptr)
    , m_window(window)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TabPaintBox::paintEvent(QPaintEvent* event) { m_window.PaintBox1Paint(event); }

TfrmTab::TfrmTab(QWidget* parent)
    : QDialog(parent)
    , m_ownBoxes(std::make_unique<WindowMessageBoxes>(*this))
    , m_ownSaveDialog(std::make_unique<QtSaveFileDialog>())
    , m_ownPrintDialog(std::make_unique<QtPrintDialog>())
    , m_boxes(*m_ownBoxes)
    , m_saveDialog(*m_ownSaveDialog)
    , m_printDialog(*m_ownPrintDialog)
{
    CreateControls();
}

TfrmTab::TfrmTab(MessageBoxes& boxes, SaveFileDialog& saveDialog, PrintDialog& printDialog, QWidget* parent)
    : QDialog(parent)
    , m_boxes(boxes)
    , m_saveDialog(saveDialog)
    , m_printDialog(printDialog)
{
    CreateControls();
}

void TfrmTab::CreateControls()
{
    setObjectName(QStringLiteral("TfrmTab"));
    setWindowTitle(QStringLiteral("Tablature"));
    resize(628, 415);

    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setFrameShape(QFrame::NoFrame);
    ScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ScrollBox->setWidgetResizable(false);
    ScrollBox->setFocusPolicy(Qt::NoFocus);
    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("TabContent"));

    PaintBox1 = new TabPaintBox(*this);
    PaintBox1->setParent(m_content);
    Name(PaintBox1, QStringLiteral("PaintBox1"), QStringLiteral("Tablature"));
    PaintBox1->move(PaintBoxLeft, ViewTop);
    PaintBox1->resize(593, 100);

    Memo1 = new QPlainTextEdit(m_content);
    Name(Memo1, QStringLiteral("Memo1"), QStringLiteral("ASCII Tablature"));
    Memo1->setGeometry(MemoLeft, ViewTop, 592, 321);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The window scrolls the memo as a whole, so it keeps no vertical position of its own.
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo1->setFont(FixedPitchFont(13));
    QPalette memoColours = Memo1->palette();
    memoColours.setColor(QPalette::Text, Qt::black);
    memoColours.setColor(QPalette::Base, Qt::white);
    Memo1->setPalette(memoColours);
    ScrollBox->setWidget(m_content);

    btnPrint = MakeButton(this, QStringLiteral("btnPrint"), QStringLiteral("Print"), 13);
    btnSave = MakeButton(this, QStringLiteral("btnSave"), QStringLiteral("Save"), 13);
    btnExit = MakeButton(this, QStringLiteral("btnExit"), QStringLiteral("Exit"), 99);
    connect(btnPrint, &QPushButton::clicked, this, &TfrmTab::btnPrintClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmTab::btnSaveClick);
    connect(btnExit, &QPushButton::clicked, this, &TfrmTab::btnExitClick);
    chkRhythmLine = new QCheckBox(QStringLiteral("Rhythm line"), this);
    Name(chkRhythmLine, QStringLiteral("chkRhythmLine"), chkRhythmLine->text());
    Hint(chkRhythmLine,
        QStringLiteral("Write each note's duration above the tablature, so it can be imported exactly."));
    chkRhythmLine->setGeometry(185, ButtonTop, 120, ButtonHeight);
    connect(chkRhythmLine, &QCheckBox::toggled, this, [this] {
        if (m_tab && m_inputs.TabMode == 1)
            SetUpAscii();
    });
    btnSave->hide();
    chkRhythmLine->hide();
    Memo1->hide();

    // The window sees every key first, whichever of its controls has the focus.
    const QList<QWidget*> children = findChildren<QWidget*>();
    for (QWidget* child : children)
        child->installEventFilter(this);
    FormResize();
}

TfrmTab::~TfrmTab() = default;

void TfrmTab::setInputs(const TabWindowInputs& inputs)
{
    m_inputs = inputs;
    m_tab.reset();
}

void TfrmTab::setTitles(const QString& title, const QString& subtitle)
{
    TabTitle = title;
    TabSubtitle = subtitle;
}

bool TfrmTab::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    else if (event->type() == QEvent::WindowDeactivate)
        FormDeactivate();
    return QDialog::event(event);
}

void TfrmTab::showEvent(QShowEvent* event)
{
    // A new opening: it may warn again, and it starts at the top. The window system may not
    // activate the window (focus stealing prevention), so the view is built here as well.
    TruncationWarned = false;
    m_asciiLines.clear();
    FormActivate();
    ScrollBox->verticalScrollBar()->setValue(0);
    QDialog::showEvent(event);
}

void TfrmTab::FormActivate()
{
    Truncated = false;
    BuildTablature();
}

void TfrmTab::FormDeactivate() { ReleaseTablature(); }

void TfrmTab::BuildTablature()
{
    if (!m_inputs.TabPrompt) {
        const TabTitles titles = TitlesFromDocument(m_inputs.EditorLines, m_inputs.DocumentFileName);
        TabTitle = titles.Title;
        TabSubtitle = titles.Subtitle;
    }
    m_tab = std::make_unique<Tablature>(Tablature::Build(m_inputs.ParsedLines, TuningOfLines(m_inputs.EditorLines)));
    m_tab->CountOff = CountOffOfLines(m_inputs.EditorLines);
    BarCount = m_tab->BarCount;
    Truncated = m_tab->HasTruncatedBar();
    if (m_inputs.TabMode == 1)
        SetUpAscii();
    else
        SetUpGraphic();
    if (Truncated && !TruncationWarned)
        WarnTruncation();
}

void TfrmTab::ReleaseTablature() { m_tab.reset(); }

void TfrmTab::WarnTruncation()
{
    TruncationWarned = true;
    // Not from inside activation or painting: the box's own event loop would re-enter them.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            m_boxes.warningBox(TruncationWarningMessage);
    });
}

void TfrmTab::SetUpGraphic()
{
    setWindowTitle(QStringLiteral("Tablature"));
    Memo1->hide();
    btnSave->hide();
    chkRhythmLine->hide();
    PaintBox1->show();
    btnPrint->show();
    FormResize();
    PaintBox1->update();
}

void TfrmTab::SetUpAscii()
{
    setWindowTitle(QStringLiteral("ASCII Tablature"));
    const QStringList lines = BuildAsciiTab(
        *m_tab, AsciiTitle(TabTitle, m_inputs.DocumentFileName), TabSubtitle, chkRhythmLine->isChecked())
                                  .Lines;
    // Reactivation rebuilds the same text; leave it alone so the reader keeps the caret and position.
    if (lines != m_asciiLines) {
        m_asciiLines = lines;
        Memo1->setPlainText(m_asciiLines.join(u'\n'));
        Memo1->moveCursor(QTextCursor::Start);
    }
    PaintBox1->hide();
    btnPrint->hide();
    Memo1->show();
    btnSave->show();
    chkRhythmLine->show();
    FormResize();
}

void TfrmTab::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TfrmTab::FormResize()
{
    ScrollBox->setGeometry(0, ScrollBoxTop, width(), std::max(0, height() - ScrollBoxTop));
    const bool ascii = m_inputs.TabMode == 1;
    int viewHeight = 0;
    if (ascii) {
        const QFontMetrics metrics(Memo1->font());
        const int lines = static_cast<int>(std::max<qsizetype>(m_asciiLines.size(), 1));
        viewHeight = lines * metrics.lineSpacing() + 2 * static_cast<int>(Memo1->document()->documentMargin())
            + 2 * Memo1->frameWidth() + Memo1->horizontalScrollBar()->sizeHint().height();
        // The memo fills at least the visible part of the window.
        viewHeight = std::max(viewHeight, ScrollBox->height() - ViewTop - RightMargin);
    } else {
        viewHeight
            = m_tab ? ScreenPaintHeight(*m_tab, TabLayout::Screen(PaintBox1->width(), *m_tab)) : PaintBox1->height();
    }
    const int contentHeight = ViewTop + viewHeight + RightMargin;
    const bool scrolls = contentHeight > ScrollBox->height();
    const int viewportWidth = ScrollBox->width() - (scrolls ? ScrollBox->verticalScrollBar()->sizeHint().width() : 0);
    const int left = ascii ? MemoLeft : PaintBoxLeft;
    const int viewWidth = std::max(MinViewWidth, viewportWidth - left - RightMargin);
    if (ascii)
        Memo1->setGeometry(MemoLeft, ViewTop, viewWidth, viewHeight);
    else
        PaintBox1->setGeometry(PaintBoxLeft, ViewTop, viewWidth, viewHeight);
    m_content->resize(left + viewWidth + RightMargin, contentHeight);
    ScrollBox->verticalScrollBar()->setSingleStep(LineStep);
    ScrollBox->verticalScrollBar()->setPageStep(PageStep);
}

void TfrmTab::PaintBox1Paint(QPaintEvent* event)
{
    QPainter painter(PaintBox1);
    if (m_inputs.TabMode != 0)
        return;
    // Released while another window is active; the window must still draw when it is uncovered.
    if (!m_tab)
        m_tab
            = std::make_unique<Tablature>(Tablature::Build(m_inputs.ParsedLines, TuningOfLines(m_inputs.EditorLines)));
    TabPainter tabPainter(*m_tab, TabTitle, TabSubtitle, m_inputs.TabFont);
    tabPainter.PaintScreen(painter, PaintBox1->size(), event->rect());
}

bool TfrmTab::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && FormKeyDown(static_cast<QKeyEvent*>(event)->key()))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TfrmTab::keyPressEvent(QKeyEvent* event)
{
    if (!FormKeyDown(event->key()))
        QDialog::keyPressEvent(event);
}

bool TfrmTab::FormKeyDown(int key)
{
    QScrollBar* bar = ScrollBox->verticalScrollBar();
    switch (key) {
    case Qt::Key_Escape:
        btnExitClick();
        return true;
    case Qt::Key_Up:
        bar->setValue(std::max(bar->value() - LineStep, 0));
        return true;
    case Qt::Key_Down:
        bar->setValue(std::min(bar->value() + LineStep, bar->maximum()));
        return true;
    case Qt::Key_PageUp:
        bar->setValue(std::max(bar->value() - PageStep, 0));
        return true;
    case Qt::Key_PageDown:
        bar->setValue(std::min(bar->value() + PageStep, bar->maximum()));
        return true;
    default:
        return false;
    }
}

void TfrmTab::btnExitClick() { reject(); }

void TfrmTab::btnPrintClick()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(TabTitle.isEmpty() ? QStringLiteral("Tablature") : TabTitle);
    if (!m_printDialog.choosePrinter(this, printer))
        return;
    PrintTo(printer);
}

void TfrmTab::PrintTo(QPrinter& printer)
{
    // The print dialog deactivated the window, which released the tablature.
    const Tablature tab = m_tab ? *m_tab : Tablature::Build(m_inputs.ParsedLines, TuningOfLines(m_inputs.EditorLines));
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        // A PDF file is written as File > Export and the command line write it: same margins and
        // resolution, and a previous file is replaced only by a complete one.
        QString errorText;
        if (!WriteTablaturePdf(printer.outputFileName(), tab, TabTitle, TabSubtitle, m_inputs.TabFont,
                printer.pageLayout().pageSize(), &errorText, printer.pageLayout().orientation()))
            m_boxes.errorBox(errorText);
        return;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        m_boxes.errorBox(QStringLiteral("The tablature could not be printed: the printer could not be started."));
        return;
    }
    const TabLayout layout = TabLayout::Printer(printer.width(), printer.height(), tab);
    TabPainter tabPainter(tab, TabTitle, TabSubtitle, m_inputs.TabFont);
    // The dialog offers copies; a printer that cannot make them itself gets the pages that often.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0 && !printer.newPage())
            break;
        tabPainter.PrintTablature(painter, layout, printer.height(), [&printer] { return printer.newPage(); });
    }
    if (!painter.end())
        m_boxes.errorBox(QStringLiteral("The tablature could not be printed."));
}

void TfrmTab::btnSaveClick()
{
    const SaveDialogRequest request { TabSaveDialogTitle, TabSaveDialogFilter, m_inputs.LastDir,
        ForceTabExtension(m_inputs.DocumentFileName) };
    const QString chosen = m_saveDialog.getSaveFileName(this, request);
    if (chosen.isEmpty())
        return;
    const QString fileName = ForceTabExtension(chosen);
    // The dialog only asked about the name as typed; the file really written may exist as well.
    if (fileName != chosen && QFileInfo::exists(fileName)
        && m_boxes.askYesNoCancel(QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(fileName))
            != MessageBoxes::Answer::Yes)
        return;
    QString errorText;
    if (!SaveAsciiTab(fileName, m_asciiLines, &errorText)) {
        m_boxes.errorBox(errorText);
        return;
    }
    m_inputs.LastDir = QFileInfo(fileName).absolutePath();
}

TfrmGetTabInfo::TfrmGetTabInfo(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmGetTabInfo"));
    setWindowTitle(QStringLiteral("Tabulature "));
    resize(325, 186);

    // Created in tab order: the buttons first, then the two boxes.
    std::tie(btnOK, btnCancel) = MakeOkCancelButtons(this);
    edtTitle = new QLineEdit(this);
    Name(edtTitle, QStringLiteral("edtTitle"), QStringLiteral("Title"));
    edtBy = new QLineEdit(this);
    Name(edtBy, QStringLiteral("edtBy"), QStringLiteral("Sub"));
    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, edtTitle);
    setTabOrder(edtTitle, edtBy);

    Label3 = new QLabel(QStringLiteral("Enter titles for tabulature"), this);
    Name(Label3, QStringLiteral("Label3"), Label3->text());
    QFont bold = Label3->font();
    bold.setBold(true);
    Label3->setFont(bold);
    Label4
        = new QLabel(QStringLiteral("These titles will print at the top of the tabulature. To pre-load them, include "
                                    "' * Title: ' and ' *Sub: ' lines your files."),
            this);
    Name(Label4, QStringLiteral("Label4"), Label4->text());
    Label4->setWordWrap(true);
    Label1 = new QLabel(QStringLiteral("Title:"), this);
    Name(Label1, QStringLiteral("Label1"), Label1->text());
    Label1->setBuddy(edtTitle);
    Label2 = new QLabel(QStringLiteral("Sub:"), this);
    Name(Label2, QStringLiteral("Label2"), Label2->text());
    Label2->setBuddy(edtBy);

    const QString titleHint = QStringLiteral("Title to be printed on tabulature. File name is used by default.");
    const QString subHint = QStringLiteral("Subtitle to be printed on tabulature. File name is used by default.");
    Hint(Label1, titleHint);
    Hint(edtTitle, titleHint);
    Hint(Label2, subHint);
    Hint(edtBy, subHint);

    auto* fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(edtTitle, 0, 1);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(edtBy, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    buttons->addStretch();
    auto* column = new QVBoxLayout(this);
    column->addWidget(Label3);
    column->addWidget(Label4);
    column->addLayout(fields);
    column->addStretch();
    column->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, &TfrmGetTabInfo::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmGetTabInfo::btnCancelClick);
}

void TfrmGetTabInfo::setDocument(const QStringList& editorLines, const QString& documentFileName)
{
    m_lines = editorLines;
    m_documentFileName = documentFileName;
}

void TfrmGetTabInfo::showEvent(QShowEvent* event)
{
    // Once per showing rather than on every activation, so switching to another program and back
    // keeps what the user typed.
    FormActivate();
    QDialog::showEvent(event);
}

void TfrmGetTabInfo::FormActivate()
{
    const TabTitles titles = TitlesFromDocument(m_lines, m_documentFileName);
    edtTitle->setText(titles.Title);
    edtBy->setText(titles.Subtitle);
}

void TfrmGetTabInfo::btnOKClick()
{
    TabTitle = edtTitle->text();
    TabSubtitle = edtBy->text();
    accept();
}

void TfrmGetTabInfo::btnCancelClick() { reject(); }

} // namespace fw
