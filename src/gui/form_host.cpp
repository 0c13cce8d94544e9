#include "gui/form_host.h"

#include <algorithm>
#include <memory>
#include <vector>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "model/win1252.h"
#include "ui/control_ids.h"
#include "ui/control_names.h"
#include "ui/dialog_layout.h"
#include "ui/texts.h"

namespace harvelin::gui {

namespace {

QString toQt(const std::string& bytes) { return QString::fromStdString(win1252ToUtf8(bytes)); }

// Every edit refuses characters outside Windows-1252 as they are typed, and
// the other controls only show texts that came from the dialog, so this
// conversion always succeeds.
std::string fromQt(const QString& text) { return utf8ToWin1252(text.toStdString()).value_or(std::string()); }

}  // namespace

FormHost::FormHost(QDialog& window) : window_(window), hold_(layout::mainForm()) {}

void FormHost::addControl(int id, QWidget* widget, bool elides)
{
    controls_[id] = widget;
    if (elides)
        wholeTexts_[id] = QString();
    const auto* label = qobject_cast<QLabel*>(widget);
    nameControl(id, widget, label ? label->text() : QString());
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        QObject::connect(edit, &QLineEdit::textEdited, &window_, [this] { userChanged_ = true; });
    else if (auto* button = qobject_cast<QAbstractButton*>(widget); button && button->isCheckable())
        QObject::connect(button, &QAbstractButton::clicked, &window_, [this] { userChanged_ = true; });
}

QWidget* FormHost::control(int id) const
{
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

std::string FormHost::controlText(int id) const
{
    if (const auto whole = wholeTexts_.find(id); whole != wholeTexts_.end())
        return fromQt(whole->second);
    QWidget* w = control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return fromQt(edit->text());
    if (auto* label = qobject_cast<QLabel*>(w))
        return fromQt(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return fromQt(button->text());
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return fromQt(group->title());
    if (auto* list = qobject_cast<QListWidget*>(w))
        return list->currentItem() ? fromQt(list->currentItem()->text()) : std::string();
    return {};
}

void FormHost::setControlText(int id, const std::string& bytes)
{
    QWidget* w = control(id);
    const QString text = toQt(bytes);
    // A control whose text has not changed is left alone, so the caret and
    // the selection of the edit the user is typing in stay where they are.
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        if (edit->text() == text)
            return;
        // The input limit stops typing, not the program: a longer text from
        // the pager or a file is shown whole, and taking it back from the
        // form then reports the limit instead of cutting the text silently.
        const auto limit = limits_.find(id);
        if (limit != limits_.end())
            edit->setMaxLength(std::max(limit->second, static_cast<int>(text.size())));
        edit->setText(text);
        edit->setCursorPosition(0);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        if (wholeTexts_.count(id) != 0) {
            showElided(id, label, text, label->width(), [label](const QString& shown) { label->setText(shown); });
        } else if (label->text() != text) {
            label->setText(text);
            nameControl(id, label, text);
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        if (button->text() != text)
            button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        if (group->title() != text)
            group->setTitle(text);
    }
}

bool FormHost::isChecked(int id) const
{
    auto* button = qobject_cast<QAbstractButton*>(control(id));
    return button && button->isChecked();
}

void FormHost::setChecked(int id, bool checked)
{
    auto* button = qobject_cast<QAbstractButton*>(control(id));
    if (!button)
        return;
    // A radio group may well end up with no button checked (the page radio
    // starts that way); Qt refuses to uncheck the checked button of an
    // exclusive group, so the exclusiveness is lifted for the moment.
    auto* radio = qobject_cast<QRadioButton*>(button);
    const bool exclusive = radio && radio->autoExclusive();
    if (exclusive)
        radio->setAutoExclusive(false);
    button->setChecked(checked);
    if (exclusive)
        radio->setAutoExclusive(true);
}

void FormHost::setVisible(int id, bool visible)
{
    if (QWidget* w = control(id))
        w->setVisible(visible);
}

void FormHost::setEnabled(int id, bool enabled)
{
    QWidget* w = control(id);
    if (w && hold_.enableNow(id, enabled, w->isEnabled()))
        w->setEnabled(enabled);
}

void FormHost::holdInput(bool cancel)
{
    if (hold_.held())
        return;
    const std::vector<int> off =
        hold_.begin(idOf(window_.focusWidget()), [this](int id) { return control(id) && control(id)->isEnabled(); });
    if (cancel) {
        QWidget* button = control(ctl::Cancel);
        button->setVisible(true);
        button->setFocus(Qt::OtherFocusReason);
    }
    for (const int id : off)
        control(id)->setEnabled(false);
    window_.setCursor(Qt::BusyCursor);
}

void FormHost::releaseInput()
{
    const std::optional<InputHold::End> end = hold_.end();
    if (!end)
        return;
    for (const int id : end->enable)
        if (QWidget* w = control(id))
            w->setEnabled(true);
    window_.unsetCursor();
    if (end->focusAsked)
        setFocus(end->focus);
    else if (QWidget* back = focusTaker(control(end->focus)))
        back->setFocus(Qt::OtherFocusReason);
    if (end->hideCancel) {
        QWidget* cancel = control(ctl::Cancel);
        if (cancel->hasFocus())
            focusFirstControl();
        cancel->setVisible(false);
    }
}

void FormHost::hideCancel()
{
    QWidget* cancel = control(ctl::Cancel);
    if (hold_.hideCancelNow(cancel->hasFocus()))
        cancel->setVisible(false);
}

void FormHost::focusFirstControl()
{
    if (QWidget* first = focusTaker(window_.nextInFocusChain()))
        first->setFocus(Qt::OtherFocusReason);
}

// The tab order is the focus chain, which runs round through the window.
QWidget* FormHost::focusTaker(QWidget* from) const
{
    QWidget* w = from;
    while (w) {
        if (w != &window_ && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && !w->isHidden())
            return w;
        w = w->nextInFocusChain();
        if (w == from)
            break;
    }
    return nullptr;
}

int FormHost::idOf(const QWidget* widget) const
{
    for (const auto& [id, w] : controls_)
        if (w == widget)
            return id;
    return layout::NoId;
}

void FormHost::setInputLimit(int id, int maxChars)
{
    auto* edit = qobject_cast<QLineEdit*>(control(id));
    if (!edit)
        return;
    limits_[id] = maxChars;
    // Qt cuts the text to a new limit; a text already longer keeps its length.
    edit->setMaxLength(std::max(maxChars, static_cast<int>(edit->text().size())));
}

void FormHost::setFocus(int id)
{
    QWidget* w = control(id);
    if (!w || !hold_.focusNow(id))
        return;
    w->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->selectAll();
}

void FormHost::setProgressRange(int low, int high)
{
    if (auto* bar = qobject_cast<QProgressBar*>(control(ctl::Progress)))
        bar->setRange(low, high);
}

void FormHost::setProgressPos(int pos)
{
    // A position beyond the range shows as the range's end, as the write's
    // settings steps do on a small pager; Qt would ignore it instead.
    if (auto* bar = qobject_cast<QProgressBar*>(control(ctl::Progress)))
        bar->setValue(std::clamp(pos, bar->minimum(), bar->maximum()));
}

void FormHost::setPortListLine(const std::string& line)
{
    if (auto* list = qobject_cast<QListWidget*>(control(ctl::PortList))) {
        list->clear();
        // The box is one line of a few characters; a device name longer than
        // "COM12" pushes the end of "... gefunden" out of sight, so the line
        // is cut with "…" and offered whole as the item's tool tip too.
        auto* item = new QListWidgetItem;
        list->addItem(item);
        wholeTexts_[ctl::PortList].clear();
        showElided(ctl::PortList, list, toQt(line), list->viewport()->width() - 2 * list->spacing() - 6,
                   [item](const QString& shown) { item->setText(shown); });
        item->setToolTip(toQt(line));
    }
}

void FormHost::pageShown(ViewPage page)
{
    if (page == page_)
        return;
    page_ = page;
    for (const auto& [id, widget] : controls_) {
        const auto* label = qobject_cast<QLabel*>(widget);
        const auto whole = wholeTexts_.find(id);
        nameControl(id, widget, whole != wholeTexts_.end() ? whole->second : label ? label->text() : QString());
    }
}

void FormHost::showElided(int id, QWidget* widget, const QString& whole, int width,
                          const std::function<void(const QString&)>& setText)
{
    QString& held = wholeTexts_[id];
    if (held == whole && !whole.isEmpty())
        return;
    held = whole;
    const QString shown = widget->fontMetrics().elidedText(whole, Qt::ElideRight, std::max(width, 1));
    setText(shown);
    widget->setToolTip(shown == whole ? QString() : whole);
    widget->setAccessibleDescription(whole);
    nameControl(id, widget, whole);
}

void FormHost::nameControl(int id, QWidget* widget, const QString& shown)
{
    const QString name = toQt(layout::accessibleName(id, page_));
    if (name.isEmpty())
        return;
    // Qt tells the screen reader when the name changes.
    const QString full = shown.isEmpty() ? name : name + QStringLiteral(": ") + shown;
    if (widget->accessibleName() != full)
        widget->setAccessibleName(full);
}

bool FormHost::askYesNo(const std::string& text)
{
    if (quiet_)
        return false;
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), toQt(text), QMessageBox::NoButton,
                    &window_);
    // The answers are named in the form's language, whatever Qt's own
    // translations say; "Nein" is the safe default.
    // J and N (Y and N) answer it, as on Windows (the box takes a mnemonic
    // without Alt).
    QPushButton* yes = box.addButton(toQt(std::string(localized(FormText::YesButton))), QMessageBox::YesRole);
    QPushButton* no = box.addButton(toQt(std::string(localized(FormText::NoButton))), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void FormHost::showTitle(const std::string& title, bool modified)
{
    window_.setWindowTitle(QString::fromStdString(windowTitle(title, modified)));
}

void FormHost::messageBox(const std::string& text)
{
    if (quiet_)
        return;
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), toQt(text), QMessageBox::Ok, &window_);
    box.exec();
}

void FormHost::showLines(const std::string& heading, const std::vector<std::string>& lines)
{
    if (quiet_)
        return;
    QDialog box(&window_);
    box.setWindowTitle(toQt(layout::linesBox().caption));
    auto* layout = new QVBoxLayout(&box);
    auto* label = new QLabel(toQt(heading), &box);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    layout->addWidget(label);
    // Read-only, yet selectable and copyable, and a tab stop for a screen
    // reader's user.
    auto* list = new QPlainTextEdit(&box);
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    QStringList shown;
    for (const std::string& line : lines)
        shown << toQt(line);
    list->setPlainText(shown.join(QLatin1Char('\n')));
    list->setAccessibleName(label->text());
    label->setBuddy(list);
    const QFontMetrics metrics(list->font());
    int widest = 0;
    for (const QString& line : shown)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    list->setMinimumSize(std::min(widest + 4 * metrics.averageCharWidth(), 90 * metrics.averageCharWidth()),
                         std::min(static_cast<int>(shown.size()) + 2, 20) * metrics.lineSpacing());
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::NoButton, &box);
    QPushButton* ok =
        buttons->addButton(toQt(std::string(localized(FormText::OkButton))), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    layout->addWidget(buttons);
    list->setFocus();
    box.exec();
}

bool FormHost::openInBrowser(const std::string& path)
{
    if (answerBrowser)
        return answerBrowser(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

std::optional<std::string> FormHost::fileDialog(const FileDialogSpec& spec)
{
    if (quiet_)
        return std::nullopt;
    if (answerFileDialog)
        return answerFileDialog(spec);

    const QString pattern = QString::fromStdString(spec.filterPattern);
    QString filter = QString::fromStdString(spec.filterText);
    if (!filter.contains(QLatin1Char('(') + pattern + QLatin1Char(')')))
        filter += QStringLiteral(" (") + pattern + QLatin1Char(')');

    QFileDialog dialog(&window_);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(QString::fromStdString(spec.defaultExtension));
    if (spec.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);  // asks before overwriting
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    // The data-file functions take paths as UTF-8 on every system and widen
    // them themselves where the system wants that.
    return dialog.selectedFiles().constFirst().toStdString();
}

void FormHost::startTimer(int id, unsigned periodMs)
{
    QTimer*& timer = timers_[id];
    if (!timer) {
        timer = new QTimer(&window_);
        QObject::connect(timer, &QTimer::timeout, &window_, [this, id, timer] {
            if (!tickPending_.insert(id).second)
                return;
            QMetaObject::invokeMethod(
                &window_,
                [this, id, timer] {
                    tickPending_.erase(id);
                    if (timer->isActive() && onTick)
                        onTick(id);
                },
                Qt::QueuedConnection);
        });
    }
    // Ticks that fall due while a handler blocks are not caught up.
    timer->start(static_cast<int>(periodMs));
}

void FormHost::stopTimer(int id)
{
    const auto it = timers_.find(id);
    if (it != timers_.end() && it->second)
        it->second->stop();
}

bool FormHost::timerRunning(int id) const
{
    const auto it = timers_.find(id);
    return it != timers_.end() && it->second && it->second->isActive();
}

// Paints at once from inside a handler; no input or timer event is handled
// meanwhile, so the handler is never entered a second time.
void FormHost::repaintNow() { window_.repaint(); }

void FormHost::endDialog(int result) { window_.done(result); }

}  // namespace harvelin::gui
