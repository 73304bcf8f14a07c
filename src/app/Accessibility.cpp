#include "Accessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QWidget>

namespace fw {

void AnnouncingLabel::setText(const QString& text)
{
    if (text == QLabel::text())
        return;
    QLabel::setText(text);
    // The label is heard by its text, so a new text is a new name.
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

namespace Accessibility {

    namespace {

        // A button as assistive tools see it; its press and toggle actions click it.
        class ClickableButton : public QAccessibleWidget {
        public:
            explicit ClickableButton(QAbstractButton* button)
                : QAccessibleWidget(button, RoleOf(button))
            {
            }

            static QAccessible::Role RoleOf(QAbstractButton* button)
            {
                if (qobject_cast<QCheckBox*>(button))
                    return QAccessible::CheckBox;
                if (qobject_cast<QRadioButton*>(button))
                    return QAccessible::RadioButton;
                return QAccessible::Button;
            }

            QAbstractButton* button() const { return static_cast<QAbstractButton*>(object()); }

            QString text(QAccessible::Text t) const override
            {
                if (t == QAccessible::Name) {
                    // The caption, so the name follows it (Play, Stop); a picture-only button has a set name.
                    QString name = widget()->accessibleName();
                    if (name.isEmpty())
                        name = QString(button()->text()).remove(QLatin1Char('&'));
                    if (name.isEmpty())
                        name = widget()->toolTip();
                    return name;
                }
                return QAccessibleWidget::text(t);
            }

            QAccessible::State state() const override
            {
                QAccessible::State s = QAccessibleWidget::state();
                if (button()->isCheckable()) {
                    s.checkable = true;
                    s.checked = button()->isChecked();
                }
                if (button()->isDown())
                    s.pressed = true;
                if (auto* push = qobject_cast<QPushButton*>(button()))
                    s.defaultButton = push->isDefault();
                return s;
            }

            QStringList actionNames() const override
            {
                QStringList names;
                if (widget()->isEnabled())
                    names << (button()->isCheckable() ? toggleAction() : pressAction());
                return names + QAccessibleWidget::actionNames();
            }

            void doAction(const QString& actionName) override
            {
                if (actionName != pressAction() && actionName != toggleAction()) {
                    QAccessibleWidget::doAction(actionName);
                    return;
                }
                // Clicked later, from the event loop: a click may run a whole playback, and the tool
                // that asked must have its answer first.
                QPointer<QAbstractButton> target = button();
                QMetaObject::invokeMethod(
                    target,
                    [target] {
                        if (target && target->isEnabled() && target->isVisible())
                            target->click();
                    },
                    Qt::QueuedConnection);
            }
        };

        QAccessibleInterface* ButtonFactory(const QString&, QObject* object)
        {
            auto* button = qobject_cast<QAbstractButton*>(object);
            if (button && button->isWidgetType())
                return new ClickableButton(button);
            return nullptr;
        }

    } // namespace

    void Install()
    {
        static bool installed = false;
        if (installed)
            return;
        installed = true;
        QAccessible::installFactory(ButtonFactory);
    }

    void DescribeHints(QWidget* window)
    {
        QList<QWidget*> widgets = window->findChildren<QWidget*>();
        widgets.prepend(window);
        for (QWidget* widget : widgets) {
            const QString hint = widget->statusTip();
            if (!hint.isEmpty() && !widget->accessibleDescription().contains(hint))
                widget->setAccessibleDescription(hint);
        }
    }

    void ChainTabOrder(const QList<QWidget*>& widgets)
    {
        QWidget* previous = nullptr;
        for (QWidget* widget : widgets) {
            if (previous)
                QWidget::setTabOrder(previous, widget);
            previous = widget;
        }
    }

} // namespace Accessibility

} // namespace fw
