#pragma once

#include <QAction>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QAbstractButton;
class QMenu;
class QWidget;

namespace pelmora::ui {

// One thing the user can do, in one place: what it is called, its keys, when it may run and
// what it does. Menus, buttons, pop-ups and keys all reach it through its id.
struct Command {
    std::string id;
    QString text;  // as the menu shows it, "&" included
    QList<QKeySequence> shortcuts;
    std::function<bool()> onEnabled;  // none: always
    std::function<void()> onExecute;
    // The name of the undo step the command makes; empty for a command that changes no page
    // or record (or that opens and closes its step itself).
    std::string undoName;
};

// The window's commands by id. Each command has one QAction, which menus show and whose keys
// reach it anywhere in the window; buttons and other controls follow its enabled state.
class CommandTable : public QObject {
    Q_OBJECT

public:
    // Runs a command's action inside its undo step; the window supplies it.
    using StepRunner =
        std::function<void(const std::string& undoName, const std::function<void()>&)>;

    explicit CommandTable(QWidget* window);

    void SetStepRunner(StepRunner runner) { runStep_ = std::move(runner); }
    QAction* Register(Command command);
    QAction* Action(const std::string& id) const;
    const Command* Find(const std::string& id) const;
    // Runs the command if its rule lets it.
    void Execute(const std::string& id);

    // Adds the command's action to menu.
    QAction* AddTo(QMenu* menu, const std::string& id);
    // A pop-up entry with a text of its own that runs the command once the pop-up has closed.
    QAction* AddPopupEntry(QMenu* menu, const QString& text, const std::string& id);
    // The button runs the command and is enabled with it.
    void BindButton(QAbstractButton* button, const std::string& id);
    // A control that is no command but is enabled by a rule all the same.
    void BindControl(QWidget* control, std::function<bool()> onEnabled);

    // Asks every rule and enables what it allows.
    void UpdateCommands();

private:
    struct Entry {
        Command command;
        QAction* action = nullptr;
        std::vector<QAction*> popupEntries;
        std::vector<QAbstractButton*> buttons;
    };
    bool Enabled(const Entry& entry) const;

    QWidget* window_;
    StepRunner runStep_;
    std::map<std::string, Entry> entries_;
    std::vector<std::pair<QWidget*, std::function<bool()>>> controls_;
};

}  // namespace pelmora::ui
