#include "FindDialog.h"

#include "DialogButtons.h"
#include "MessageBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <tuple>

namespace fw {

namespace {

    int SelectionStart(const QPlainTextEdit& editor) { return editor.textCursor().selectionStart(); }

    int SelectionLength(const QPlainTextEdit& editor)
    {
        const QTextCursor cursor = editor.textCursor();
        return cursor.selectionEnd() - cursor.selectionStart();
    }

    void Select(QPlainTextEdit& editor, int start, int length)
    {
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(start);
        cursor.setPosition(start + length, QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
    }

} // namespace

Tfrmfind::Tfrmfind(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Tfrmfind"));
    setWindowTitle(QStringLiteral("Find Text"));
    setAccessibleName(QStringLiteral("Find Text"));
    // A fixed dialog with a system menu only.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint);
    showModal = [this] { return exec(); };

    auto* label = new QLabel(QStringLiteral("Text to find:"), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(QStringLiteral("Text to find"));
    label->setBuddy(Edit1);
    chkWholeWord = new QCheckBox(QStringLiteral("Whole Word"), this);
    chkWholeWord->setObjectName(QStringLiteral("chkWholeWord"));
    chkWholeWord->setAccessibleName(QStringLiteral("Whole Word"));
    chkWholeWord->setAccessibleDescription(QStringLiteral("Match only whole words."));
    chkMatchCase = new QCheckBox(QStringLiteral("Match Case"), this);
    chkMatchCase->setObjectName(QStringLiteral("chkMatchCase"));
    chkMatchCase->setAccessibleName(QStringLiteral("Match Case"));
    chkMatchCase->setAccessibleDescription(QStringLiteral("Match upper and lower case exactly."));
    std::tie(btnOK, btnCancel) = MakeOkCancelButtons(this);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setVerticalSpacing(6);
    grid->addWidget(label, 0, 0);
    grid->addWidget(Edit1, 0, 1, 1, 2);
    grid->addWidget(btnOK, 0, 3);
    grid->addWidget(chkWholeWord, 1, 1);
    grid->addWidget(chkMatchCase, 1, 2);
    grid->addWidget(btnCancel, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    setTabOrder(Edit1, chkWholeWord);
    setTabOrder(chkWholeWord, chkMatchCase);
    setTabOrder(chkMatchCase, btnOK);
    setTabOrder(btnOK, btnCancel);

    connect(Edit1, &QLineEdit::textChanged, this, &Tfrmfind::Edit1Change);
    connect(btnOK, &QPushButton::clicked, this, &Tfrmfind::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &Tfrmfind::btnCancelClick);

    // 307 x 73 in the original layout units; larger fonts get the room they need.
    setFixedSize(QSize(307, 73).expandedTo(sizeHint()));
}

void Tfrmfind::showEvent(QShowEvent* event)
{
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    FormActivate();
    QDialog::showEvent(event);
}

void Tfrmfind::FormActivate()
{
    m_foundLength = 0;
    if (m_editor) {
        m_foundStart = SelectionStart(*m_editor);
        const int length = SelectionLength(*m_editor);
        const QString selected = m_editor->textCursor().selectedText();
        // A search never matches across a line break (U+2029 in a selection), so such a selection
        // would only make a search text that finds nothing.
        if (length > 0 && length < 30 && !selected.contains(QChar::ParagraphSeparator))
            Edit1->setText(selected);
    }
    Edit1->setFocus();
    Edit1->selectAll();
}

void Tfrmfind::Edit1Change(const QString& text) { m_textToFind = text; }

void Tfrmfind::finish(int result)
{
    if (isVisible())
        done(result);
    else
        setResult(result);
}

bool Tfrmfind::FindInEditor()
{
    if (!m_editor)
        return false;
    const FindOptions options { chkWholeWord->isChecked(), chkMatchCase->isChecked() };
    const int start = SelectionStart(*m_editor) + SelectionLength(*m_editor);
    const qsizetype at = FindTextForward(m_editor->toPlainText(), m_textToFind, start, options);
    const bool found = at >= 0;
    if (found) {
        Select(*m_editor, static_cast<int>(at), static_cast<int>(Edit1->text().size()));
        m_editor->ensureCursorVisible();
    } else {
        // Collapsed where the search began, so a further Find Next reports the same instead of finding
        // the last match again.
        Select(*m_editor, start, 0);
    }
    m_foundStart = SelectionStart(*m_editor);
    m_foundLength = SelectionLength(*m_editor);
    finish(found ? QDialog::Accepted : NotFound);
    return found;
}

void Tfrmfind::btnOKClick() { FindInEditor(); }

void Tfrmfind::btnCancelClick()
{
    m_foundLength = 0;
    finish(QDialog::Rejected);
}

namespace EditCommands {

    Enabling EditMenuEnabling(const QPlainTextEdit& editor)
    {
        Enabling enabling;
        enabling.undo = editor.document()->isUndoAvailable();
        enabling.redo = editor.document()->isRedoAvailable();
        enabling.copy = enabling.cut = enabling.del = editor.textCursor().hasSelection();
        const QMimeData* data = QApplication::clipboard()->mimeData();
        enabling.paste = data && data->hasText();
        return enabling;
    }

    void PasteBeforeSelection(QPlainTextEdit& editor)
    {
        Select(editor, SelectionStart(editor), 0);
        editor.paste();
    }

    void DeleteSelection(QPlainTextEdit& editor)
    {
        QTextCursor cursor = editor.textCursor();
        cursor.removeSelectedText();
        editor.setTextCursor(cursor);
    }

    void Find1Click(Tfrmfind& dialog, QPlainTextEdit& editor, MessageBoxes& boxes)
    {
        dialog.setEditor(&editor);
        const int result = dialog.showModal();
        if (result == QDialog::Accepted)
            Select(editor, dialog.FoundStart(), dialog.FoundLength());
        else if (result == Tfrmfind::NotFound)
            boxes.informationBox(SearchNotFoundMessage(dialog.TextToFind()));
    }

    void FindNext1Click(Tfrmfind& dialog, QPlainTextEdit& editor, MessageBoxes& boxes)
    {
        if (dialog.TextToFind().isEmpty()) {
            Find1Click(dialog, editor, boxes);
            return;
        }
        dialog.setEditor(&editor);
        if (!dialog.FindInEditor())
            boxes.informationBox(SearchNotFoundMessage(dialog.TextToFind()));
    }

} // namespace EditCommands

} // namespace fw
