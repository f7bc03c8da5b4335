#include "qt/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyleOptionMenuItem>
#include <QToolButton>
#include <algorithm>

#include "link/Tick.h"
#include "qt/CheckField.h"
#include "qt/CurveChartWidget.h"
#include "qt/EditField.h"
#include "qt/FlatGauge.h"
#include "qt/Fonts.h"
#include "qt/FrameBox.h"
#include "qt/LogViewerWindow.h"
#include "qt/Pictures.h"
#include "qt/UpDownArrows.h"

namespace kelmor {

namespace {
using C = ControlId;
using K = ControlKind;

constexpr const char* CONTROL_PROPERTY = "kelmorControl";

// Puts a guard around applying the model, so that the widgets' change
// signals it causes are not taken for user input.
class ApplyingScope {
  public:
    explicit ApplyingScope(int& depth) : Depth(depth) { ++Depth; }
    ~ApplyingScope() { --Depth; }
    ApplyingScope(const ApplyingScope&) = delete;
    ApplyingScope& operator=(const ApplyingScope&) = delete;

  private:
    int& Depth;
};

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

// The short hint: the part before the first bar, or the whole hint.
QString ShortHint(const std::string& hint) {
    const size_t bar = hint.find('|');
    return Text(bar == std::string::npos ? hint : hint.substr(0, bar));
}

QColor RoleColour(Colour c, const QPalette& palette) {
    switch (c) {
    case Colour::ButtonFace:
        return palette.color(QPalette::Active, QPalette::Button);
    case Colour::Window:
        return palette.color(QPalette::Active, QPalette::Base);
    case Colour::Red:
        return QColor(255, 0, 0);
    case Colour::Yellow:
        return QColor(255, 255, 0);
    case Colour::Lime:
        return QColor(0, 255, 0);
    case Colour::Fuchsia:
        return QColor(255, 0, 255);
    case Colour::Aqua:
        return QColor(0, 255, 255);
    case Colour::White:
        return QColor(255, 255, 255);
    case Colour::Black:
        return QColor(0, 0, 0);
    }
    return palette.color(QPalette::Button);
}

// A caption with its "&" letter underlined and "&&" as one "&", as rich text.
QString MnemonicHtml(const QString& caption) {
    QString html;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption.at(i);
        if (c == u'&' && i + 1 < caption.size()) {
            const QChar next = caption.at(++i);
            if (next == u'&')
                html += QStringLiteral("&amp;");
            else
                html +=
                    QStringLiteral("<u>") + QString(next).toHtmlEscaped() + QStringLiteral("</u>");
        } else {
            html += QString(c).toHtmlEscaped();
        }
    }
    return html;
}

const char* PictureOf(C id) {
    switch (id) {
    case C::SpeedButton6:
        return "new";
    case C::SpeedButton5:
        return "open";
    case C::SpeedButton7:
        return "save";
    case C::SpeedButtonPrint:
        return "print";
    case C::SpeedButtonZpet:
        return "undo";
    case C::SpeedButtonZnovu:
        return "redo";
    default:
        return "";
    }
}

bool IsCheckableItem(C id) {
    return (Index(id) >= Index(C::MenuCom1) && Index(id) <= Index(C::MenuCom10)) ||
           (Index(id) >= Index(C::MenuEnglish) && Index(id) <= Index(C::MenuCzech)) ||
           id == C::MenuLog;
}

// The File items added after the design go above the separator before Exit.
bool GoesAboveExit(C id) {
    return id == C::MenuRecord || id == C::MenuCompare || id == C::MenuBackups;
}

// A radio item reacts to the mouse over its whole row, not only its text.
class RadioItem : public QRadioButton {
  public:
    using QRadioButton::QRadioButton;

  protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// Menus mark the checked item only; an unchecked item shows no empty box.
class MenuStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element == CE_MenuItem) {
            if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
                item != nullptr && item->checkType != QStyleOptionMenuItem::NotCheckable &&
                !item->checked) {
                QStyleOptionMenuItem plain(*item);
                plain.checkType = QStyleOptionMenuItem::NotCheckable;
                QProxyStyle::drawControl(element, &plain, painter, widget);
                return;
            }
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

} // namespace

MainWindow::MainWindow(TFormHlav& form, QWidget* parent)
    : QMainWindow(parent), Form(form), Model(form.Model()),
      Timer1(std::chrono::milliseconds(TICK_MS), [this] {
          ++TickTotal;
          Form.OnTimer1();
      }) {
    Build();
    Model.SetListener(this);
    qApp->installEventFilter(this);
    // The tick runs from creation to the end; it first fires in the first
    // event loop, which may be a box opened by the start-up itself, and it
    // goes on inside every box, also one that a tick opened.
    Timer1.Start();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    Model.SetListener(nullptr);
}

void MainWindow::Build() {
    setWindowIcon(ProgramIcon());
    // On a screen smaller than the layout the window may be smaller than its
    // controls: they scroll instead of reaching past the screen's edge.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    Client = new QWidget;
    Client->setProperty(CONTROL_PROPERTY, Index(C::FormHlav));
    Client->setFont(ControlFont(LayoutOf(C::FormHlav).FontPx));
    Client->setAutoFillBackground(true);
    Client->setMinimumSize(CLIENT_WIDTH, CLIENT_HEIGHT);
    scroll->setWidget(Client);
    setCentralWidget(scroll);
    Widgets[Index(C::FormHlav)] = Client;

    // The controls shown at start. Those in groups that nothing shows, and
    // those shown only later, are built when they are shown or asked for.
    for (int i = 0; i < CONTROL_COUNT; ++i)
        if (ShownInDesign(static_cast<C>(i))) EnsureBuilt(static_cast<C>(i));
    BuildMenus();
    // The menu bar's titles, otherwise put on at the first show, give its height.
    for (int i = 0; i < CONTROL_COUNT; ++i)
        if (LayoutOf(static_cast<C>(i)).Parent == C::MainMenu1) ApplyCaption(static_cast<C>(i));

    const int menuHeight = menuBar()->sizeHint().height();
    resize(CLIENT_WIDTH, CLIENT_HEIGHT + menuHeight);
}

bool MainWindow::IsWidgetControl(ControlId id) {
    const ControlLayout& row = LayoutOf(id);
    return row.Kind != K::MenuBar && row.Kind != K::Menu && row.Kind != K::MenuItem &&
           row.Kind != K::MenuSeparator;
}

bool MainWindow::ShownInDesign(ControlId id) {
    for (C c = id;; c = LayoutOf(c).Parent) {
        if (!IsWidgetControl(c) || !LayoutOf(c).ShownAtStart) return false;
        if (c == C::FormHlav) return true;
    }
}

QWidget* MainWindow::Widget(ControlId id) const {
    // Building on demand changes nothing the window shows.
    return const_cast<MainWindow*>(this)->EnsureBuilt(id);
}

QWidget* MainWindow::EnsureBuilt(ControlId id) {
    QWidget*& slot = Widgets[Index(id)];
    if (slot != nullptr || !IsWidgetControl(id)) return slot;
    // Parents first, so that a control goes into its group.
    const ControlLayout& row = LayoutOf(id);
    QWidget* parentWidget = EnsureBuilt(row.Parent);
    QWidget* w = BuildControl(row, parentWidget);
    w->setProperty(CONTROL_PROPERTY, Index(id));
    if (row.Kind != K::StatusBar) w->setGeometry(row.Left, row.Top, row.Width, row.Height);
    if (!row.TakesFocus) w->setFocusPolicy(Qt::NoFocus);
    // A child made after its parent is shown stays hidden until told.
    w->setVisible(false);
    slot = w;
    if (Started) {
        ApplyingScope scope(Applying);
        ApplyControl(id);
        if (std::find(TabOrder().begin(), TabOrder().end(), id) != TabOrder().end())
            BuildTabOrder();
    }
    return w;
}

void MainWindow::BuildShowingChildren(ControlId id) {
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        const C child = static_cast<C>(i);
        if (child != id && LayoutOf(child).Parent == id && Widgets[i] == nullptr &&
            Model.IsShowing(child))
            EnsureBuilt(child);
    }
}

void MainWindow::setVisible(bool visible) {
    // The model's changes until the first show are put on the screen once,
    // each control in its final state, and only then is the window shown.
    if (visible && !Started) {
        Started = true;
        ApplyingScope scope(Applying);
        for (int i = 0; i < CONTROL_COUNT; ++i)
            if (Widgets[i] == nullptr && IsWidgetControl(static_cast<C>(i)) &&
                Model.IsShowing(static_cast<C>(i)))
                EnsureBuilt(static_cast<C>(i));
        ApplyAll(); // builds the radio buttons, which the tab order needs
        BuildTabOrder();
        DockStatusBar();
        Form.FollowChart();
    }
    QMainWindow::setVisible(visible);
}

QWidget* MainWindow::BuildControl(const ControlLayout& row, QWidget* parent) {
    const C id = row.Id;
    const QFont font = ControlFont(row.FontPx, row.Bold);
    QWidget* w = nullptr;
    if (id == C::ImageCurve) {
        Chart = new CurveChartWidget(Form.Chart, Model, parent);
        Chart->setFont(font);
        Chart->SetEditor(&Form);
        return Chart;
    }
    switch (row.Kind) {
    case K::GroupBox: {
        w = new FrameBox(parent);
        break;
    }
    case K::Label:
    case K::Image: {
        auto* label = new QLabel(parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setTextFormat(id == C::LabelFile1 ? Qt::RichText : Qt::PlainText);
        if (row.Kind == K::Image)
            label->setPixmap(RenderPicture(QStringLiteral("logo"), QSize(row.Width, row.Height),
                                           devicePixelRatioF()));
        w = label;
        break;
    }
    case K::Edit: {
        auto* edit = new EditField(parent);
        // The layout's edits are narrow ("20,100" in 40 pixels): the text may
        // take one of the two pixels Qt keeps free inside each side.
        edit->setTextMargins(-1, 0, -1, 0);
        edit->OnKey = [this, id](char c) { return Form.Fire(id, UserAction::Key, c); };
        edit->OnStep = [this, id](int d) { Form.Fire(id, UserAction::Step, d); };
        edit->OnExit = [this, id] {
            // A focused edit hidden by the logic loses the focus while the
            // model is being applied; that is no exit of the user's.
            if (Applying == 0) Form.Fire(id, UserAction::Exit);
        };
        edit->IsMenuShortcut = [this](const QKeyEvent& e) { return IsMenuShortcut(e); };
        connect(edit, &QLineEdit::textEdited, this,
                [this, id](const QString& text) { Model.UserSetText(id, text.toStdString()); });
        w = edit;
        break;
    }
    case K::UpDown: {
        auto* arrows = new UpDownArrows(parent);
        arrows->OnStep = [this, id](int d) { Form.Fire(id, UserAction::Step, d); };
        w = arrows;
        break;
    }
    case K::CheckBox: {
        auto* check = new CheckField(parent);
        connect(check, &QCheckBox::toggled, this, [this, id](bool on) {
            if (Applying == 0) Model.UserSetChecked(id, on);
        });
        check->OnMouseUp = [this, id] { Form.Fire(id, UserAction::MouseUp); };
        w = check;
        break;
    }
    case K::RadioGroup: {
        auto* box = new FrameBox(parent);
        auto* group = new QButtonGroup(box);
        group->setExclusive(true);
        RadioButtons[Index(id)] = group;
        connect(group, &QButtonGroup::idToggled, this, [this, id](int item, bool on) {
            if (!on || Applying != 0) return;
            Model.UserSetItemIndex(id, item);
            ApplyItemIndex(id); // moves the tab stop to the new item
            Form.Fire(id, UserAction::Click);
        });
        w = box;
        break;
    }
    case K::ComboBox: {
        auto* combo = new QComboBox(parent);
        combo->setMaxVisibleItems(30);
        connect(combo, &QComboBox::currentIndexChanged, this, [this, id](int index) {
            if (Applying != 0) return;
            Model.UserSetItemIndex(id, index);
            Form.Fire(id, UserAction::Change);
        });
        w = combo;
        break;
    }
    case K::Button: {
        auto* button = new QPushButton(parent);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this,
                [this, id] { Form.Fire(id, UserAction::Click); });
        w = button;
        break;
    }
    case K::ToolButton: {
        auto* button = new QToolButton(parent);
        button->setAutoRaise(true);
        button->setIconSize(QSize(16, 16));
        button->setIcon(
            ToolIcon(QString::fromLatin1(PictureOf(id)), QSize(16, 16), devicePixelRatioF()));
        connect(button, &QToolButton::clicked, this,
                [this, id] { Form.Fire(id, UserAction::Click); });
        w = button;
        break;
    }
    case K::Gauge: {
        auto* bar = new FlatGauge(parent);
        bar->setTextVisible(!row.Gauge100);
        bar->setFormat(QStringLiteral("%p%"));
        bar->setAlignment(Qt::AlignCenter);
        w = bar;
        break;
    }
    case K::StatusBar: {
        auto* bar = new QStatusBar(parent);
        StatusText = new QLabel(bar);
        StatusText->setTextFormat(Qt::PlainText);
        bar->addWidget(StatusText, 1);
        w = bar;
        break;
    }
    default:
        w = new QWidget(parent);
        break;
    }
    w->setFont(font);
    return w;
}

void MainWindow::BuildMenus() {
    auto* menuStyle = new MenuStyle();
    menuStyle->setParent(this);
    std::array<QMenu*, CONTROL_COUNT> menus{};
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        const C id = static_cast<C>(i);
        const ControlLayout& row = LayoutOf(id);
        QMenu* parentMenu = menus[Index(row.Parent)];
        QAction* action = nullptr;
        switch (row.Kind) {
        case K::Menu: {
            auto* menu = new QMenu(this);
            menu->setStyle(menuStyle);
            menus[i] = menu;
            if (row.Parent == C::MainMenu1)
                menuBar()->addMenu(menu);
            else
                parentMenu->addMenu(menu);
            connect(menu, &QMenu::hovered, this, [this](QAction* a) {
                Form.ShowStatusHint(Model[static_cast<C>(a->data().toInt())].Hint);
            });
            if (row.Parent == C::MainMenu1)
                connect(menu, &QMenu::aboutToHide, this, [this] { Form.ShowStatusHint(""); });
            if (id == C::MenuCom)
                connect(menu, &QMenu::aboutToShow, this, [this] { Form.MenuComClick(); });
            action = menu->menuAction();
            break;
        }
        case K::MenuItem: {
            action = new QAction(this);
            if (*row.Shortcut != '\0') {
                action->setShortcut(QKeySequence(QString::fromLatin1(row.Shortcut)));
                action->setShortcutContext(Qt::WindowShortcut);
            }
            action->setCheckable(IsCheckableItem(id));
            if (GoesAboveExit(id)) {
                QAction* exitSeparator = Actions[Index(C::N4)];
                if (id == C::MenuRecord) parentMenu->insertSeparator(exitSeparator);
                parentMenu->insertAction(exitSeparator, action);
            } else {
                parentMenu->addAction(action);
            }
            connect(action, &QAction::triggered, this, [this, id, action] {
                Form.Fire(id, UserAction::Click);
                // Qt flips a checkable item by itself; the logic decides the mark.
                ApplyingScope scope(Applying);
                action->setChecked(Model[id].Checked);
            });
            break;
        }
        case K::MenuSeparator:
            action = parentMenu->addSeparator();
            break;
        default:
            continue;
        }
        action->setData(i);
        Actions[i] = action;
    }
    connect(menuBar(), &QMenuBar::hovered, this, [this](QAction* a) {
        Form.ShowStatusHint(Model[static_cast<C>(a->data().toInt())].Hint);
    });
}

void MainWindow::BuildTabOrder() {
    // The radio group joins the chain with all its buttons; only the
    // selected one takes the focus by Tab (see ApplyItemIndex).
    QWidget* previous = nullptr;
    auto link = [&previous](QWidget* w) {
        if (previous != nullptr) QWidget::setTabOrder(previous, w);
        previous = w;
    };
    for (C id : TabOrder()) {
        if (QButtonGroup* group = RadioButtons[Index(id)]) {
            for (QAbstractButton* b : group->buttons())
                link(b);
        } else if (QWidget* w = Widgets[Index(id)]) {
            link(w);
        }
    }
}

void MainWindow::ApplyAll() {
    ApplyingScope scope(Applying);
    for (int i = 0; i < CONTROL_COUNT; ++i)
        ApplyControl(static_cast<C>(i));
}

void MainWindow::ApplyControl(ControlId id) {
    if (Widgets[Index(id)] == nullptr && Actions[Index(id)] == nullptr) return;
    ApplyItems(id);
    ApplyItemIndex(id);
    ApplyCaption(id);
    ApplyHint(id);
    ApplyName(id);
    ApplyColour(id);
    ApplyEnabled(id);
    ApplyChecked(id);
    ApplyProgress(id);
    if (id != C::FormHlav) ApplyVisible(id);
}

void MainWindow::OnControlChanged(ControlId id, Property what) {
    ApplyingScope scope(Applying);
    if (!Started) return; // all put on the screen at the first show
    if (Widgets[Index(id)] == nullptr && Actions[Index(id)] == nullptr) {
        // Built, in its state of the moment, once it is shown.
        if (what == Property::Visible && Model.IsShowing(id)) EnsureBuilt(id);
        return;
    }
    if (what == Property::Visible && Model.IsShowing(id)) BuildShowingChildren(id);
    switch (what) {
    case Property::Caption:
        ApplyCaption(id);
        break;
    case Property::Hint:
        ApplyHint(id);
        break;
    case Property::Detail:
        ApplyCaption(id);
        break;
    case Property::Name:
        ApplyName(id);
        break;
    case Property::Colour:
        ApplyColour(id);
        break;
    case Property::Visible:
        ApplyVisible(id);
        break;
    case Property::Enabled:
        ApplyEnabled(id);
        break;
    case Property::Checked:
        ApplyChecked(id);
        break;
    case Property::Position:
        break; // the edit shows the position; the arrows hold none
    case Property::Items:
        ApplyItems(id);
        ApplyItemIndex(id);
        break;
    case Property::ItemIndex:
        ApplyItemIndex(id);
        break;
    case Property::Progress:
        ApplyProgress(id);
        break;
    case Property::Picture:
        if (QWidget* w = Widgets[Index(id)]) w->update();
        break;
    }
}

void MainWindow::ApplyCaption(ControlId id) {
    const ControlLayout& row = LayoutOf(id);
    const QString caption = Text(Model[id].Caption);
    QWidget* w = Widgets[Index(id)];
    switch (row.Kind) {
    case K::Form:
        setWindowTitle(caption);
        break;
    case K::GroupBox:
    case K::RadioGroup:
        static_cast<QGroupBox*>(w)->setTitle(caption);
        break;
    case K::Label:
        static_cast<QLabel*>(w)->setText(id == C::LabelFile1 ? MnemonicHtml(caption) : caption);
        FitToText(id);
        break;
    case K::Edit: {
        auto* edit = static_cast<QLineEdit*>(w);
        if (edit->text() != caption) edit->setText(caption);
        break;
    }
    case K::CheckBox:
        static_cast<QAbstractButton*>(w)->setText(caption);
        FitToText(id);
        break;
    case K::Button:
        static_cast<QAbstractButton*>(w)->setText(caption);
        break;
    case K::StatusBar:
        StatusText->setText(caption);
        break;
    case K::Menu:
        Actions[Index(id)]->setText(caption);
        break;
    case K::MenuItem: {
        // The second text stands where a shortcut would, right of the caption.
        const std::string& detail = Model[id].Detail;
        Actions[Index(id)]->setText(detail.empty() ? caption
                                                   : caption + QLatin1Char('\t') + Text(detail));
        break;
    }
    default:
        break;
    }
}

void MainWindow::ApplyName(ControlId id) {
    if (QWidget* w = Widgets[Index(id)]; w != nullptr && id != C::FormHlav)
        w->setAccessibleName(Text(Model[id].Name));
}

void MainWindow::FitToText(ControlId id) {
    // Labels and check boxes grow to show their whole caption, from their place.
    const ControlLayout& row = LayoutOf(id);
    QWidget* w = Widgets[Index(id)];
    const QSize hint = w->sizeHint();
    w->resize(std::max(row.Width, hint.width()), std::max(row.Height, hint.height()));
}

void MainWindow::ApplyHint(ControlId id) {
    const ControlLayout& row = LayoutOf(id);
    QWidget* w = Widgets[Index(id)];
    if (w == nullptr || !row.ShowsTooltip) return;
    w->setToolTip(ShortHint(Model[id].Hint));
}

void MainWindow::ApplyColour(ControlId id) {
    const ControlLayout& row = LayoutOf(id);
    QWidget* w = Widgets[Index(id)];
    if (w == nullptr) return;
    const Colour colour = Model[id].Background;
    const QColor rgb = RoleColour(colour, QApplication::palette());
    switch (row.Kind) {
    case K::Form: {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, rgb);
        w->setPalette(p);
        break;
    }
    case K::CheckBox:
        // The check boxes sit in group boxes, whose style sheet draws them
        // without regard to the palette: the colour goes into a sheet of the
        // box's own, over the whole control.
        w->setStyleSheet(
            colour == Colour::ButtonFace
                ? QString()
                : QStringLiteral("QCheckBox { background-color: %1; }").arg(rgb.name()));
        break;
    case K::Label:
    case K::GroupBox:
    case K::RadioGroup: {
        // Button face is the parent's colour: such a control turns white with
        // the window in its paper look, as the others of its kind do.
        const bool own = colour != Colour::ButtonFace;
        QPalette p = w->palette();
        p.setColor(QPalette::Window, rgb);
        w->setPalette(p);
        w->setAutoFillBackground(own);
        break;
    }
    case K::Edit: {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, rgb);
        w->setPalette(p);
        break;
    }
    case K::Gauge:
        static_cast<FlatGauge*>(w)->SetBarColour(rgb);
        break;
    default:
        break;
    }
}

void MainWindow::ApplyVisible(ControlId id) {
    const bool visible = Model[id].Visible;
    if (QWidget* w = Widgets[Index(id)]; w != nullptr && id != C::FormHlav)
        w->setVisible(visible);
    else if (QAction* a = Actions[Index(id)])
        a->setVisible(visible);
}

void MainWindow::ApplyEnabled(ControlId id) {
    const bool enabled = Model[id].Enabled;
    if (QWidget* w = Widgets[Index(id)])
        w->setEnabled(enabled);
    else if (QAction* a = Actions[Index(id)])
        a->setEnabled(enabled);
}

void MainWindow::ApplyChecked(ControlId id) {
    const bool checked = Model[id].Checked;
    const ControlLayout& row = LayoutOf(id);
    if (row.Kind == K::CheckBox)
        static_cast<QCheckBox*>(Widgets[Index(id)])->setChecked(checked);
    else if (row.Kind == K::MenuItem && Actions[Index(id)]->isCheckable())
        Actions[Index(id)]->setChecked(checked);
}

void MainWindow::ApplyItems(ControlId id) {
    const ControlLayout& row = LayoutOf(id);
    const std::vector<std::string>& items = Model[id].Items;
    if (row.Kind == K::ComboBox) {
        auto* combo = static_cast<QComboBox*>(Widgets[Index(id)]);
        combo->clear();
        for (const std::string& item : items)
            combo->addItem(Text(item));
        return;
    }
    QButtonGroup* group = RadioButtons[Index(id)];
    if (group == nullptr) return;
    auto* box = static_cast<QGroupBox*>(Widgets[Index(id)]);
    const QList<QAbstractButton*> old = group->buttons();
    for (QAbstractButton* b : old) {
        group->removeButton(b);
        delete b;
    }
    // One column of equal rows below the caption, as the platform's radio
    // group arranges its items.
    const int count = static_cast<int>(items.size());
    if (count == 0) return;
    const int textHeight = QFontMetrics(box->font()).height();
    const int spare = row.Height - textHeight - 5;
    const int rowHeight = spare / count;
    const int top = textHeight + 1 + (spare % count) / 2;
    QWidget* previous = nullptr;
    for (int i = 0; i < count; ++i) {
        auto* b = new RadioItem(Text(items[i]), box);
        b->setGeometry(8, top + i * rowHeight, row.Width - 10, rowHeight);
        b->setFocusPolicy(row.TakesFocus ? Qt::ClickFocus : Qt::NoFocus);
        b->setProperty(CONTROL_PROPERTY, Index(id));
        group->addButton(b, i);
        if (previous != nullptr) QWidget::setTabOrder(previous, b);
        previous = b;
        b->show();
    }
    if (id == C::RadioGroupPolarita && !old.isEmpty() &&
        Widgets[Index(C::EditBaseAdv)] != nullptr && Widgets[Index(C::EditRpmKorekce)] != nullptr) {
        // Put the new buttons back into the Tab chain between their neighbours.
        QWidget::setTabOrder(Widgets[Index(C::EditBaseAdv)], group->button(0));
        QWidget::setTabOrder(previous, Widgets[Index(C::EditRpmKorekce)]);
    }
}

void MainWindow::ApplyItemIndex(ControlId id) {
    const ControlLayout& row = LayoutOf(id);
    const int index = Model[id].ItemIndex;
    if (row.Kind == K::ComboBox) {
        static_cast<QComboBox*>(Widgets[Index(id)])->setCurrentIndex(index);
        return;
    }
    QButtonGroup* group = RadioButtons[Index(id)];
    if (group == nullptr) return;
    ApplyingScope scope(Applying);
    if (QAbstractButton* b = group->button(index)) {
        b->setChecked(true);
    } else if (QAbstractButton* checked = group->checkedButton()) {
        group->setExclusive(false);
        checked->setChecked(false);
        group->setExclusive(true);
    }
    // Tab reaches the group at its selected item only.
    for (QAbstractButton* b : group->buttons())
        if (row.TakesFocus)
            b->setFocusPolicy(b->isChecked() || group->checkedButton() == nullptr ? Qt::StrongFocus
                                                                                  : Qt::ClickFocus);
}

void MainWindow::ApplyProgress(ControlId id) {
    if (LayoutOf(id).Kind != K::Gauge) return;
    auto* bar = static_cast<QProgressBar*>(Widgets[Index(id)]);
    const ControlState& s = Model[id];
    bar->setRange(0, s.GaugeMax);
    bar->setValue(std::clamp(s.Progress, 0, s.GaugeMax));
    // The bar's own test for a visible change measures the style's groove,
    // not this drawing; paint every change.
    bar->update();
}

void MainWindow::DockStatusBar() {
    // Docked at the bottom of the client area, whatever the window's size.
    QWidget* bar = Widgets[Index(C::StatusBar1)];
    const int height = LayoutOf(C::StatusBar1).Height;
    bar->setGeometry(0, Client->height() - height, Client->width(), height);
}

bool MainWindow::IsMenuShortcut(const QKeyEvent& e) const {
    const QKeySequence pressed(e.keyCombination());
    for (QAction* a : Actions)
        if (a != nullptr && !a->shortcut().isEmpty() && a->shortcut() == pressed) return true;
    return false;
}

ControlId MainWindow::ControlOf(const QWidget* widget) const {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        const QVariant v = w->property(CONTROL_PROPERTY);
        if (v.isValid()) return static_cast<C>(v.toInt());
    }
    return C::FormHlav;
}

void MainWindow::ShowHintAt(const QWidget* widget) {
    // The control's own hint, or that of the nearest enclosing control that has one.
    C id = ControlOf(widget);
    while (id != C::FormHlav && Model[id].Hint.empty())
        id = LayoutOf(id).Parent;
    Form.ShowStatusHint(Model[id].Hint);
}

ControlId MainWindow::FocusedControl() const {
    const QWidget* focus = focusWidget();
    return focus == nullptr ? C::FormHlav : ControlOf(focus);
}

QWidget* MainWindow::FocusTarget(ControlId id) const {
    if (QButtonGroup* group = RadioButtons[Index(id)]) {
        if (QAbstractButton* b = group->checkedButton()) return b;
        return group->buttons().isEmpty() ? nullptr : group->buttons().first();
    }
    return const_cast<MainWindow*>(this)->EnsureBuilt(id);
}

void MainWindow::FocusControl(ControlId id) {
    if (QWidget* target = FocusTarget(id)) target->setFocus(Qt::TabFocusReason);
}

TPlatform::Geometry MainWindow::OuterGeometry() const {
    if (PendingGeometry) return *PendingGeometry;
    const QRect frame = frameGeometry();
    return {frame.x(), frame.y(), frame.width(), frame.height()};
}

void MainWindow::SetOuterGeometry(const TPlatform::Geometry& g) {
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    const int extraW = frame.width() - inner.width();
    const int extraH = frame.height() - inner.height();
    move(g.Left, g.Top);
    resize(std::max(1, g.Width - extraW), std::max(1, g.Height - extraH));
    // Before the window is shown its frame is not known: keep the wish and
    // put it right once the frame has been laid around the window.
    if (!isVisible())
        PendingGeometry = g;
    else
        PendingGeometry.reset();
}

void MainWindow::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    QTimer::singleShot(250, this, [this] {
        if (PendingGeometry) {
            const TPlatform::Geometry g = *PendingGeometry;
            PendingGeometry.reset();
            SetOuterGeometry(g);
        }
        GrowToShowAll();
    });
}

void MainWindow::GrowToShowAll() {
    // The frame the desktop puts around the window is known only once it is
    // shown. Where the screen has room the window then grows until its
    // controls need no scrolling; on a screen too low for it, it grows by the
    // vertical scroll bar that comes instead, so that nothing scrolls sideways.
    auto* scroll = qobject_cast<QScrollArea*>(centralWidget());
    const QScreen* shownOn = screen();
    if (scroll == nullptr || shownOn == nullptr) return;
    const QSize viewport = scroll->maximumViewportSize();
    const QRect room = shownOn->availableGeometry();
    const QRect frame = frameGeometry();
    const int missingH = Client->minimumHeight() - viewport.height();
    const int growH = std::clamp(missingH, 0, std::max(0, room.height() - frame.height()));
    int missingW = Client->minimumWidth() - viewport.width();
    if (growH < missingH) missingW += scroll->verticalScrollBar()->sizeHint().width();
    const int growW = std::clamp(missingW, 0, std::max(0, room.width() - frame.width()));
    if (growW == 0 && growH == 0) return;
    resize(width() + growW, height() + growH);
    // Still wholly on the screen, its top left first.
    const int x =
        std::max(room.left(), std::min(frame.x(), room.right() + 1 - frame.width() - growW));
    const int y =
        std::max(room.top(), std::min(frame.y(), room.bottom() + 1 - frame.height() - growH));
    if (x != frame.x() || y != frame.y()) move(x, y);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    const QEvent::Type type = e->type();
    if (type == QEvent::Enter || type == QEvent::Leave) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w != nullptr && w->window() == this) {
            // Leaving a widget puts the pointer over its parent (a sibling's
            // Enter follows when it went there).
            if (type == QEvent::Enter)
                ShowHintAt(w);
            else if (w != this)
                ShowHintAt(w->parentWidget());
            else
                Form.ShowStatusHint("");
        }
    } else if (type == QEvent::Resize && watched == Client) {
        DockStatusBar();
    } else if (type == QEvent::MouseMove) {
        // A disabled item or a separator is never highlighted, so the menu
        // reports no hover over it; its own hint (mostly none) replaces the
        // previous item's all the same.
        if (auto* menu = qobject_cast<QMenu*>(watched)) {
            const QAction* a = menu->actionAt(static_cast<QMouseEvent*>(e)->position().toPoint());
            if (a != nullptr && (!a->isEnabled() || a->isSeparator()))
                Form.ShowStatusHint(Model[static_cast<C>(a->data().toInt())].Hint);
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void MainWindow::keyPressEvent(QKeyEvent* e) {
    // Keys no control took reach the window's own key handler.
    const char c = TypedChar(*e);
    if (c != 0 && Form.Fire(C::FormHlav, UserAction::Key, c)) {
        e->accept();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

void MainWindow::ShowLogViewer() {
    if (Viewer == nullptr) Viewer = new LogViewerWindow(Form, this);
    Viewer->ShowLog();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (Viewer != nullptr) Viewer->close();
    if (!Closed) {
        Closed = true;
        Form.FormClose();
    }
    e->accept();
}

} // namespace kelmor
