#include "gui/main_form.h"

#include <algorithm>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QTimer>
#include <QUrl>

#include "gui/about_dialog.h"
#include "gui/app_icon.h"
#include "gui/dialog_units.h"
#include "gui/field_validator.h"
#include "model/win1252.h"
#include "ui/control_ids.h"
#include "ui/dialog_layout.h"
#include "ui/form_policy.h"

namespace harvelin::gui {

namespace {

using layout::Kind;

QString toQt(const std::string& bytes) { return QString::fromStdString(win1252ToUtf8(bytes)); }

QWidget* createControl(const layout::Control& c, QWidget* parent, QValidator* validator)
{
    const QString text = toQt(c.text);
    switch (c.kind) {
    case Kind::Static: {
        auto* label = new QLabel(text, parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case Kind::Group: {
        auto* group = new QGroupBox(text, parent);
        // A group's frame line runs through the middle of its caption, which
        // sits in the corner of the template's box; the contents are placed
        // to fit that.
        // The title's background is the palette's window colour; under an
        // application stylesheet of the user's, which may give the window
        // another, that stylesheet draws the group as it wants.
        if (!qApp->styleSheet().isEmpty())
            return group;
        const int half = QFontMetrics(parent->font()).height() / 2;
        group->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
                                            " margin-top: %1px; }"
                                            "QGroupBox::title { subcontrol-origin: margin; left: 6px;"
                                            " padding: 0px 2px; background-color: palette(window); }")
                                 .arg(half));
        return group;
    }
    case Kind::Button:
    case Kind::DefaultButton: {
        auto* button = new QPushButton(text, parent);
        // Only "Beenden" is a default button, and the Return key presses
        // no button at all.
        button->setAutoDefault(false);
        button->setDefault(c.kind == Kind::DefaultButton);
        return button;
    }
    case Kind::Check:
        return new QCheckBox(text, parent);
    case Kind::Radio:
        return new QRadioButton(text, parent);
    case Kind::Edit:
    case Kind::ReadOnlyEdit: {
        auto* edit = new QLineEdit(parent);
        edit->setValidator(validator);
        // Read-only, not disabled: the identities are what a technician
        // reads most, so they keep the palette's text colour, can be
        // selected and copied, and are reached by Tab, as Windows'
        // read-only edits are.
        if (c.kind == Kind::ReadOnlyEdit) {
            edit->setReadOnly(true);
            edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        return edit;
    }
    case Kind::List: {
        auto* list = new QListWidget(parent);
        list->setSortingEnabled(true);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        return list;
    }
    case Kind::Progress: {
        auto* bar = new QProgressBar(parent);
        bar->setTextVisible(false);
        bar->setRange(0, 100);
        bar->setValue(0);
        return bar;
    }
    case Kind::Icon: return new QLabel(parent);
    case Kind::TextList: {
        auto* list = new QPlainTextEdit(parent);
        list->setReadOnly(true);
        return list;
    }
    }
    return nullptr;
}

}  // namespace

MainForm::MainForm(SerialBackend& backend, PortTable ports, Clock& clock, DeviceWorker::Mode mode, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      host_(*this), worker_(host_, *this, mode)
{
    buildForm();
    dialog_ = std::make_unique<MainDialog>(host_, backend, std::move(ports), clock, &worker_);
    gate_ = std::make_unique<ClickGate>(*dialog_, worker_, static_cast<ClickGate::Window&>(*this));
    host_.onTick = [this](int timerId) { dialog_->onTimer(timerId); };

    setWindowIcon(pagerIcon());
    setAcceptDrops(true);

    // True asks for the focus on the first control of the tab order. Qt would
    // otherwise hand it to the default button "Beenden", where a stray space
    // bar press ends the tool.
    if (dialog_->OnInitDialog())
        host_.focusFirstControl();
}

MainForm::~MainForm()
{
    host_.onTick = nullptr;
    dialog_->session().requestStop();
    worker_.shutdown();
}

// The form lays its controls out in dialog units of the desktop's font, so it
// grows with the font and with the screen's scaling as a dialog does on
// Windows. On a screen too small for it, it sits in a scroll area: it keeps
// its layout and scrolls rather than being cut by the screen's edge.
void MainForm::buildForm()
{
    const layout::Dialog form = layout::mainForm();
    // The font as the desktop and an application stylesheet make it.
    ensurePolished();
    // A font whose letters run wider than its average says (some do, for
    // "Speichern unter") widens the units across until every button's and
    // group's text fits; the layout keeps its proportions.
    const DialogUnits du = DialogUnits(font()).widenedToFit(form, fontMetrics(), style());

    setWindowTitle(toQt(form.caption));
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("formScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setAlignment(Qt::AlignCenter);
    // Not a stop of Tab; the control that takes the focus is scrolled into
    // sight, however it took it (Tab, an Alt shortcut, the dialog).
    scroll->setFocusPolicy(Qt::NoFocus);
    connect(qApp, &QApplication::focusChanged, scroll, [scroll, this](QWidget*, QWidget* now) {
        if (now && canvas_ && canvas_->isAncestorOf(now))
            scroll->ensureWidgetVisible(now);
    });
    canvas_ = new QWidget(scroll);
    canvas_->setObjectName(QStringLiteral("formCanvas"));
    canvas_->setFixedSize(du.size(form.width, form.height));
    scroll->setWidget(canvas_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    QValidator* textValidator = new FieldValidator(FieldInput::Text, this);
    QValidator* numberValidator = new FieldValidator(FieldInput::Number, this);
    for (const layout::Control& c : form.controls) {
        const bool number = fieldInput(c.id) == FieldInput::Number;
        QWidget* widget = createControl(c, canvas_, number ? numberValidator : textValidator);
        QRect place = du.rect(c.x, c.y, c.width, c.height);
        // A label or a box a few pixels too narrow for its text in this font
        // and style would lose its last letters; nothing lies to the right
        // of them.
        if (c.kind == Kind::Static)
            place.setWidth(std::max(place.width(), widget->fontMetrics().horizontalAdvance(
                                                       static_cast<QLabel*>(widget)->text()) + 1));
        else if (c.kind == Kind::Check || c.kind == Kind::Radio)
            place.setWidth(std::max(place.width(), widget->sizeHint().width()));
        widget->setGeometry(place);
        widget->setProperty("controlId", c.id);
        if (c.flags & layout::Hidden)
            widget->setVisible(false);
        if (c.flags & layout::Disabled)
            widget->setEnabled(false);
        if (qobject_cast<QLineEdit*>(widget))
            widget->installEventFilter(this);  // a file dropped on a field goes to the form
        if (c.id != layout::NoId) {
            widget->setObjectName(QString::number(c.id));
            host_.addControl(c.id, widget, (c.flags & layout::Elides) != 0);
            connectControl(c.id, widget);
        }
    }
    fitToScreen();
}

void MainForm::fitToScreen()
{
    // Small enough for 1024 x 768 at 125 %; as large as the form, or the
    // screen's free area, at the start.
    setMinimumSize(480, 320);
    QSize wanted = canvas_->size();
    if (const QScreen* screen = this->screen()) {
        const QSize free = screen->availableGeometry().size() - QSize(16, 48);
        // A form cut across scrolls across, and the scroll bar takes room
        // below it.
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        if (wanted.width() > free.width())
            wanted.rheight() += bar;
        if (wanted.height() > free.height())
            wanted.rwidth() += bar;
        wanted = wanted.boundedTo(free);
    }
    resize(wanted.expandedTo(minimumSize()));
}

void MainForm::connectControl(int id, QWidget* widget)
{
    auto* button = qobject_cast<QAbstractButton*>(widget);
    if (!button)
        return;
    if (qobject_cast<QPushButton*>(button))
        button->installEventFilter(this);
    if (id == ctl::Cancel) {
        connect(button, &QAbstractButton::clicked, this, &MainForm::cancelOperation);
        return;
    }
    // Check boxes and radio buttons have already changed their state when
    // the click arrives, as the handlers expect.
    connect(button, &QAbstractButton::clicked, this, [this, id] {
        gate_->press(id);
        // An arrow key clicks the other page button before giving it the
        // focus, which the held form would refuse: the focus goes there
        // once the click is done, and the screen reader names the page.
        if (id == ctl::PageLower || id == ctl::PageUpper)
            host_.setFocus(id);
    });
}

void MainForm::holdInput(bool cancel) { host_.holdInput(cancel); }

void MainForm::releaseInput() { host_.releaseInput(); }

void MainForm::hideCancel() { host_.hideCancel(); }

void MainForm::closeAgain()
{
    if (ending_)
        finishEnding();
    else if (isVisible())
        close();
}

void MainForm::cancelOperation() { gate_->cancel(); }

void MainForm::openGivenFile(const QString& path) { gate_->openGivenFile(path.toStdString()); }

namespace {

// The one local file a drag carries; nothing for several files, or for
// anything else (text, a web address).
QString draggedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().constFirst().isLocalFile())
        return {};
    return data->urls().constFirst().toLocalFile();
}

bool takesDrop(QEvent::Type type)
{
    return type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
}

}  // namespace

// A file dragged over the form is taken wherever it is let go, over a text
// field too, which would otherwise take its name as text. While work runs
// the form shows that it takes nothing.
void MainForm::dragEnterEvent(QDragEnterEvent* event) { acceptDrag(event); }

void MainForm::acceptDrag(QDragMoveEvent* event)
{
    if (!gate_->busy() && !draggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainForm::dropEvent(QDropEvent* event)
{
    const QString path = draggedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The drop ends before the file is opened: its boxes must not hold up
    // the program the file came from.
    QTimer::singleShot(0, this, [this, path] { openGivenFile(path); });
}

void MainForm::showAbout()
{
    AboutDialog about(this);
    about.exec();
}

// The close box and the window manager: a running operation is cancelled
// first and the form closes when it has stopped; nothing unsaved is lost
// unasked.
void MainForm::closeEvent(QCloseEvent* event)
{
    if (ending_ || gate_->closeDeferred()) {
        event->ignore();
        return;
    }
    if (!dialog_->queryClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void MainForm::done(int result)
{
    QDialog::done(result);
    // The timer ends with the window.
    host_.stopTimer(ctl::UiTimerId);
}

void MainForm::reject()
{
    if (ending_ || gate_->closeDeferred())
        return;
    // A learn window still open is ended on the pager too, and the port is
    // given back, before the window goes. The window keeps painting
    // meanwhile and takes no input.
    gate_->hold();
    bool left = false;
    QEventLoop waiting;
    dialog_->leaveLearnModeAndClose([&] {
        left = true;
        waiting.quit();
    });
    if (!left)
        waiting.exec(QEventLoop::ExcludeUserInputEvents);
    gate_->release();
    QDialog::reject();
}

void MainForm::endNow(int result)
{
    if (ending_)
        return;
    ending_ = true;
    endResult_ = result;
    host_.keepQuiet();
    closeOtherWindows();
    // A running search, read-out or write stops before its next command to
    // the pager, unasked; closeAgain() follows once it has.
    if (gate_->closeDeferred(false))
        return;
    finishEnding();
}

void MainForm::sessionEnding(QSessionManager& manager)
{
    if (!gate_->writing() || !manager.allowsInteraction())
        return;
    const bool stop = dialog_->mayStopWriteToClose();
    manager.release();
    if (!stop)
        manager.cancel();
    else if (gate_->writing())
        gate_->closeDeferred(false);
}

// What is open over the form ends as if dismissed: a question as "Nein", a
// file dialog as cancelled. Its handler then goes on, quietly.
void MainForm::closeOtherWindows()
{
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* other = qobject_cast<QDialog*>(window); other && other != this && other->isVisible())
            other->reject();
    }
}

void MainForm::finishEnding()
{
    gate_->hold();
    dialog_->leaveLearnModeAndClose([this] { done(endResult_); });
}

// Return and Escape reach the focused control as ordinary keys: they neither
// press "Beenden" nor close the dialog, and a focused button ignores Return.
bool MainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (takesDrop(event->type()) && qobject_cast<QLineEdit*>(watched)
        && !draggedFile(static_cast<QDropEvent*>(event)->mimeData()).isEmpty()) {
        // Handed to the form as if the field were not there.
        if (event->type() == QEvent::Drop)
            dropEvent(static_cast<QDropEvent*>(event));
        else
            acceptDrag(static_cast<QDragMoveEvent*>(event));
        return true;
    }
    if (event->type() == QEvent::KeyPress && !qobject_cast<QLineEdit*>(watched)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void MainForm::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        // Escape is "Abbrechen" while that is shown, and nothing otherwise.
        if (!host_.control(ctl::Cancel)->isHidden())
            cancelOperation();
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void MainForm::menuCommand(unsigned command)
{
    if (command == layout::AboutCommand)
        showAbout();
    else
        gate_->press(static_cast<int>(command));
}

// The window manager's menu cannot be extended here, so the system menu's
// entries live in the context menu of the form's background instead.
void MainForm::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.setSeparatorsCollapsible(false);
    for (const layout::MenuEntry& entry : layout::systemMenu()) {
        if (entry.command == layout::CompareCommand || entry.command == layout::AboutCommand)
            menu.addSeparator();
        QAction* action = menu.addAction(toQt(entry.text));
        action->setData(entry.command);
        if (entry.checkable) {
            action->setCheckable(true);
            action->setChecked(dialog_->verifiesAfterWrite());
        }
        // Nothing but the about box while a click's work runs.
        action->setEnabled(!gate_->busy() || entry.command == layout::AboutCommand);
    }
    if (const QAction* chosen = menu.exec(event->globalPos()))
        menuCommand(chosen->data().toUInt());
}

}  // namespace harvelin::gui
