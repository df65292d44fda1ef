#include "skin/te_accessible.h"

#include "skin/te_checkbox.h"
#include "skin/te_combobox.h"
#include "skin/te_extctrls.h"
#include "skin/te_groupbox.h"
#include "skin/te_label.h"
#include "skin/te_panel.h"

#include <QAccessibleWidget>

#include <mutex>

namespace quillon {

namespace {

// One interface for every engine control: the role, and what the control
// tells of its name, value, state and actions.
class AccessibleControl : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    AccessibleControl(QWidget *widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    std::function<QString()> NameOf, ValueOf;
    std::function<void(QAccessible::State &)> StateOf;
    QString DefaultAction;
    std::function<void()> Act;
    std::function<int()> Number, Min, Max; // a numeric value and its range (progress, scrolling)

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty() && NameOf)
            return NameOf();
        if (t == QAccessible::Value && ValueOf)
            return ValueOf();
        return QAccessibleWidget::text(t);
    }
    // A label names its control, and the control knows its label.
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>> relations(QAccessible::Relation match) const override
    {
        auto found = QAccessibleWidget::relations(match);
        if (auto *l = qobject_cast<TTeLabel *>(widget()); l && l->FocusControl() && (match & QAccessible::Labelled))
            found.append({QAccessible::queryAccessibleInterface(l->FocusControl()), QAccessible::Labelled});
        if ((match & QAccessible::Label) && widget()->parentWidget())
            for (auto *l : widget()->parentWidget()->findChildren<TTeLabel *>(Qt::FindDirectChildrenOnly))
                if (l->FocusControl() == widget())
                    found.append({QAccessible::queryAccessibleInterface(l), QAccessible::Label});
        return found;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (StateOf)
            StateOf(s);
        return s;
    }
    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (!DefaultAction.isEmpty())
            names.prepend(DefaultAction);
        return names;
    }
    void doAction(const QString &action) override
    {
        if (action == DefaultAction && Act && widget()->isEnabled())
            Act();
        else
            QAccessibleWidget::doAction(action);
    }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface && Number)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QVariant currentValue() const override { return Number ? Number() : 0; }
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return Max ? Max() : 0; }
    QVariant minimumValue() const override { return Min ? Min() : 0; }
    QVariant minimumStepSize() const override { return 1; }
};

QAccessibleInterface *describe(QObject *object)
{
    auto *w = qobject_cast<QWidget *>(object);
    if (!w)
        return nullptr;
    if (auto *b = qobject_cast<TTeButton *>(w)) {
        auto *a = new AccessibleControl(w, QAccessible::Button);
        a->NameOf = [b] { return PlainCaption(b->Caption()); };
        a->StateOf = [b](QAccessible::State &s) {
            s.defaultButton = b->ActiveDefault();
            s.pressed = b->Pressed();
        };
        a->DefaultAction = QAccessibleActionInterface::pressAction();
        a->Act = [b] { b->Click(); };
        return a;
    }
    if (auto *c = qobject_cast<TTeCheckBox *>(w)) {
        auto *a = new AccessibleControl(w, QAccessible::CheckBox);
        a->NameOf = [c] { return PlainCaption(c->Caption()); };
        a->StateOf = [c](QAccessible::State &s) {
            s.checkable = true;
            s.checked = c->State() == kcbsChecked;
            s.checkStateMixed = c->State() == kcbsMixed;
        };
        a->DefaultAction = QAccessibleActionInterface::toggleAction();
        a->Act = [c] { c->Toggle(); };
        return a;
    }
    if (auto *l = qobject_cast<TTeLabel *>(w)) {
        auto *a = new AccessibleControl(w, QAccessible::StaticText);
        a->NameOf = [l] { return l->ShowAccelChar ? PlainCaption(l->Caption()) : l->Caption().trimmed(); };
        return a;
    }
    if (auto *g = qobject_cast<TTeGroupBox *>(w)) {
        auto *a = new AccessibleControl(w, QAccessible::Grouping);
        a->NameOf = [g] { return PlainCaption(g->Caption); };
        return a;
    }
    if (auto *c = qobject_cast<TTeComboBox *>(w)) {
        auto *a = new AccessibleControl(w, QAccessible::ComboBox);
        a->ValueOf = [c] { return c->Text(); };
        a->StateOf = [c](QAccessible::State &s) {
            s.expandable = true;
            s.expanded = c->DroppedDown();
            s.readOnly = c->ComboStyle() == kcsDropDownList || c->ReadOnly;
        };
        a->DefaultAction = QAccessibleActionInterface::showMenuAction();
        a->Act = [c] { c->DropDown(); };
        return a;
    }
    if (auto *c = qobject_cast<TTeSComboBox *>(w)) {
        // The toolkit's own interface names a combo box by its text here;
        // this one takes its label's name and keeps the text as the value.
        auto *a = new AccessibleControl(w, QAccessible::ComboBox);
        a->ValueOf = [c] { return c->currentText(); };
        a->StateOf = [c](QAccessible::State &s) {
            s.expandable = true;
            s.expanded = c->DroppedDown();
        };
        a->DefaultAction = QAccessibleActionInterface::showMenuAction();
        a->Act = [c] { c->showPopup(); };
        return a;
    }
    if (auto *p = qobject_cast<TTeProgressBar *>(w)) {
        auto *a = new AccessibleControl(w, QAccessible::ProgressBar);
        a->Min = [p] { return p->Min(); };
        a->Max = [p] { return p->Max(); };
        a->Number = [p] { return p->Position(); };
        a->ValueOf = [p] { return QString::number(int(p->Fraction() * 100.0f + 0.5f)) + "%"; };
        return a;
    }
    if (auto *s = qobject_cast<TTeScrollBar *>(w)) {
        auto *a = new AccessibleControl(w, QAccessible::ScrollBar);
        a->Min = [s] { return s->Min(); };
        a->Max = [s] { return s->Max(); };
        a->Number = [s] { return s->Position(); };
        return a;
    }
    if (auto *bar = qobject_cast<TTeStatusBar *>(w)) {
        auto *a = new AccessibleControl(w, QAccessible::StatusBar);
        a->NameOf = [bar] {
            QStringList texts;
            for (const TTeStatusPanel &panel : bar->Panels)
                if (!panel.Text.isEmpty())
                    texts << panel.Text;
            return texts.join(' ');
        };
        return a;
    }
    if (auto *list = qobject_cast<TTeListBox *>(w)) {
        auto *a = new AccessibleControl(w, QAccessible::List);
        a->ValueOf = [list] { return list->ItemIndex() >= 0 ? list->Items[list->ItemIndex()] : QString(); };
        return a;
    }
    if (qobject_cast<TTePanel *>(w) || qobject_cast<TTeTransparentPanel *>(w))
        return new AccessibleControl(w, QAccessible::Pane);
    return nullptr;
}

QAccessibleInterface *factory(const QString &, QObject *object) { return describe(object); }

} // namespace

void InstallSkinAccessibility()
{
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(factory); });
}

} // namespace quillon
