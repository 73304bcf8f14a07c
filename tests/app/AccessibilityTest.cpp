#include "AboutBox.h"
#include "AppWindows.h"
#include "ChordEditor.h"
#include "FakeMessageBoxes.h"
#include "FindDialog.h"
#include "MainWindow.h"
#include "NewUserMessage.h"
#include "NoSoundMessage.h"
#include "OptionsDialog.h"
#include "PlayClock.h"
#include "RecordingBackend.h"
#include "TabWindows.h"
#include "TransposeDialog.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <gtest/gtest.h>

using namespace fw;

namespace {

bool IsInteractive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::PageTab:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::Table:
        return true;
    default:
        return false;
    }
}

// Qt's own parts of a compound control (a spin box's line, a scroll area's bars and corner) are
// heard through the control that holds them.
bool IsQtInternal(QWidget* widget)
{
    QWidget* parent = widget->parentWidget();
    return widget->objectName().startsWith(QLatin1String("qt_"))
        || (parent
            && (parent->objectName().startsWith(QLatin1String("qt_scrollarea"))
                || qobject_cast<QAbstractSpinBox*>(parent) || qobject_cast<QComboBox*>(parent)));
}

QString VisibleText(const QString& text)
{
    const QString plain = Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
    return QString(plain).remove(QLatin1Char('&'));
}

// Everything wrong with one window's controls as a screen reader meets them, one line each.
QStringList AccessibilityFaults(QWidget* window)
{
    QStringList faults;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* widget : widgets) {
        if (widget->window() != window || IsQtInternal(widget))
            continue;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
        if (!iface)
            continue;
        const QString where
            = window->objectName() + "/" + widget->metaObject()->className() + " " + widget->objectName();
        const QString name = iface->text(QAccessible::Name);
        const bool focusable = widget->focusPolicy() != Qt::NoFocus;
        if ((IsInteractive(iface->role()) || focusable) && name.isEmpty())
            faults << where + ": no name";
        QString visible;
        if (auto* label = qobject_cast<QLabel*>(widget); label && label->pixmap().isNull())
            visible = VisibleText(label->text());
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            visible = VisibleText(button->text());
        // Trailing blanks of a caption are not heard.
        if (!visible.trimmed().isEmpty() && name.trimmed() != visible.trimmed())
            faults << where + ": heard as \"" + name + "\" but shows \"" + visible + "\"";
        const QString hint = widget->statusTip();
        if (!hint.isEmpty() && !iface->text(QAccessible::Description).contains(hint))
            faults << where + ": hint \"" + hint + "\" not in the description";
    }
    return faults;
}

struct ProgramWindows : testing::Test {
    SteadyPlayClock clock;
    RecordingBackend* midi = nullptr;
    FakeMessageBoxes boxes;
    std::unique_ptr<AppWindows> windows;
    TfrmMain* main = nullptr;

    ProgramWindows()
    {
        auto backend = std::make_unique<RecordingBackend>(clock);
        midi = backend.get();
        Settings settings;
        settings.Welcomed = true;
        windows = std::make_unique<AppWindows>(settings, std::move(backend));
        main = windows->main.get();
        main->setMessageBoxes(&boxes);
        main->show();
    }

    QAccessibleActionInterface* actions(QWidget* widget)
    {
        return QAccessible::queryAccessibleInterface(widget)->actionInterface();
    }
};

} // namespace

TEST_F(ProgramWindows, EveryControlIsNamedByWhatItShowsAndDescribedByItsHint)
{
    main->lblChordName->setText("C");
    main->RichEdit1->setPlainText("G, 3, x, x, x, Q\n");
    QStringList faults;
    for (QWidget* window : std::initializer_list<QWidget*> { windows->main.get(), windows->about.get(),
             windows->tab.get(), windows->options.get(), windows->getTabInfo.get(), windows->writeMidiFile.get(),
             windows->noSoundMessage.get(), windows->find.get(), windows->newUserMessage.get(),
             &main->transposeDialog() })
        faults << AccessibilityFaults(window);
    EXPECT_TRUE(faults.isEmpty()) << faults.join("\n").toStdString();
}

TEST_F(ProgramWindows, AccessibleActionsRunWhatAClickRunsAndNamesFollowTheTexts)
{
    main->RichEdit1->setPlainText("G, 3, x, x, x, Q\n");
    main->SelectLine(0, false);

    QAccessibleActionInterface* dotted = actions(main->chkDotted);
    ASSERT_TRUE(dotted->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    dotted->doAction(QAccessibleActionInterface::toggleAction());
    QTRY_COMPARE(main->RichEdit1->toPlainText(), "G, 3, x, x, x, .Q\n");
    EXPECT_TRUE(main->chkDotted->isChecked());

    // The Play button is heard by its caption, Stop while a playback runs.
    main->RichEdit1->setPlainText("G, 3, x, x, x, W\n");
    main->chkLoop->setChecked(true);
    QAccessibleInterface* play = QAccessible::queryAccessibleInterface(main->btnPlay);
    QString nameWhilePlaying;
    QTimer::singleShot(200, main, [&] {
        nameWhilePlaying = play->text(QAccessible::Name);
        play->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    });
    QTimer::singleShot(5000, main, [this] { main->player().StopRequested = true; });
    play->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(midi->messages.isEmpty(), false);
    QTRY_COMPARE(main->btnPlay->text(), "Play");
    EXPECT_EQ(nameWhilePlaying, "Stop");
    EXPECT_EQ(play->text(QAccessible::Name), "Play");
    EXPECT_LT(midi->messages.last().timeUs - midi->messages.first().timeUs, 2000000);

    // A line in error: the status panel is heard by its new text.
    main->RichEdit1->setPlainText("G, 99, x, x, x, Q\n");
    QTest::mouseClick(main->RichEdit1->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_TRUE(main->statusPanel0->text().contains("***Error***"));
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(main->statusPanel0)->text(QAccessible::Name), main->statusPanel0->text());
}
