#include "ui/commands.h"

#include <QAbstractButton>
#include <QMenu>
#include <QWidget>

namespace pelmora::ui {

CommandTable::CommandTable(QWidget* window) : QObject(window), window_(window) {}

QAction* CommandTable::Register(Command command) {
    Entry& entry = entries_[command.id];
    entry.command = std::move(command);
    entry.action = new QAction(entry.command.text, window_);
    if (!entry.command.shortcuts.isEmpty()) {
        entry.action->setShortcuts(entry.command.shortcuts);
        entry.action->setShortcutContext(Qt::WindowShortcut);
        window_->addAction(entry.action);  // the keys work wherever the focus is in the window
    }
    const std::string id = entry.command.id;
    connect(entry.action, &QAction::triggered, this, [this, id] { Execute(id); });
    return entry.action;
}

QAction* CommandTable::Action(const std::string& id) const {
    const auto it = entries_.find(id);
    return it == entries_.end() ? nullptr : it->second.action;
}

const Command* CommandTable::Find(const std::string& id) const {
    const auto it = entries_.find(id);
    return it == entries_.end() ? nullptr : &it->second.command;
}

bool CommandTable::Enabled(const Entry& entry) const {
    return !entry.command.onEnabled || entry.command.onEnabled();
}

void CommandTable::Execute(const std::string& id) {
    const auto it = entries_.find(id);
    if (it == entries_.end() || !Enabled(it->second) || !it->second.command.onExecute) return;
    // A copy: the action may change the table's state (and re-entering it must be safe).
    const Command command = it->second.command;
    if (!command.undoName.empty() && runStep_)
        runStep_(command.undoName, command.onExecute);
    else
        command.onExecute();
}

QAction* CommandTable::AddTo(QMenu* menu, const std::string& id) {
    QAction* action = Action(id);
    if (action) menu->addAction(action);
    return action;
}

QAction* CommandTable::AddPopupEntry(QMenu* menu, const QString& text, const std::string& id) {
    QAction* action = menu->addAction(text);
    // Queued: the command runs once the pop-up has closed and its click is handled. Commands
    // open dialogs and pump events; a pop-up's own event handler must not still be on the
    // stack underneath them.
    connect(
        action, &QAction::triggered, this, [this, id] { Execute(id); }, Qt::QueuedConnection);
    if (const auto it = entries_.find(id); it != entries_.end())
        it->second.popupEntries.push_back(action);
    return action;
}

void CommandTable::BindButton(QAbstractButton* button, const std::string& id) {
    const auto it = entries_.find(id);
    if (it == entries_.end()) return;
    it->second.buttons.push_back(button);
    connect(button, &QAbstractButton::clicked, this, [this, id] { Execute(id); });
}

void CommandTable::BindControl(QWidget* control, std::function<bool()> onEnabled) {
    controls_.emplace_back(control, std::move(onEnabled));
}

void CommandTable::UpdateCommands() {
    for (auto& [id, entry] : entries_) {
        const bool on = Enabled(entry);
        entry.action->setEnabled(on);
        for (QAction* popup : entry.popupEntries) popup->setEnabled(on);
        for (QAbstractButton* button : entry.buttons) button->setEnabled(on);
    }
    for (auto& [control, rule] : controls_) control->setEnabled(rule());
}

}  // namespace pelmora::ui
