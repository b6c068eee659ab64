#include "shell/CommandActions.h"

#include "browser/AppContext.h"
#include "browser/ViewState.h"
#include "shell/ShellIcons.h"

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

QList<QKeySequence> keysOf(const Command& command)
{
    QList<QKeySequence> keys;
    for (const char* key : command.keys)
        if (key)
            keys << QKeySequence::fromString(QLatin1String(key), QKeySequence::PortableText);
    return keys;
}

} // namespace

CommandActions::CommandActions(AppContext& context, QWidget& window)
    : QObject(&window)
    , context_(context)
{
    for (const Command& command : Commands()) {
        auto* action = new QAction(QString::fromLatin1(command.label), this);
        action->setObjectName(QString::fromLatin1(command.name));
        action->setStatusTip(qt(StatusPrompt(command)));
        action->setToolTip(qt(ToolTip(command)));
        // Keys of the attribute list are its own (they start the in-place editor).
        if (command.keyScope == KeyScope::Window)
            action->setShortcuts(keysOf(command));
        action->setCheckable(command.checked || command.id == CommandId::Toolbar || command.id == CommandId::StatusBar);
        const CommandId id = command.id;
        connect(action, &QAction::triggered, this, [this, id] { trigger(id); });
        window.addAction(action);
        actions_[id] = action;
    }
    refresh();
}

void CommandActions::fill(QMenu& menu, const std::vector<MenuEntry>& entries, bool contextLabels)
{
    for (const MenuEntry& entry : entries) {
        if (entry.separator) {
            menu.addSeparator();
        } else if (entry.popup) {
            QMenu* popup = menu.addMenu(QString::fromLatin1(EntryLabel(entry)));
            fill(*popup, *entry.popup, contextLabels);
        } else if (!contextLabels) {
            menu.addAction(actions_.at(entry.id));
        } else {
            QAction* own = menu.addAction(QString::fromLatin1(EntryLabel(entry)));
            const Command& command = FindCommand(entry.id);
            own->setObjectName(QString::fromLatin1(command.name));
            own->setStatusTip(qt(StatusPrompt(command)));
            own->setEnabled(command.enabled(context_.state));
            const CommandId id = entry.id;
            connect(own, &QAction::triggered, this, [this, id] { trigger(id); });
        }
    }
}

void CommandActions::fillMenuBar(QMenuBar& bar)
{
    for (const Menu& layout : MenuBar()) {
        QMenu* menu = bar.addMenu(QString::fromLatin1(layout.title));
        fill(*menu, layout.entries, false);
        // Rules read state that changes without a command (a lost connection found by a
        // selection): look again whenever a menu opens.
        connect(menu, &QMenu::aboutToShow, this, &CommandActions::refresh);
    }
}

void CommandActions::fillToolBar(QToolBar& bar)
{
    for (const MenuEntry& entry : ToolbarLayout()) {
        if (entry.separator) {
            bar.addSeparator();
            continue;
        }
        QAction* action = actions_.at(entry.id);
        action->setIcon(ShellIcon(("toolbar-" + std::string(FindCommand(entry.id).name)).c_str()));
        bar.addAction(action);
    }
}

QMenu* CommandActions::contextMenu(const std::vector<MenuEntry>& entries, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    fill(*menu, entries, true);
    return menu;
}

void CommandActions::refresh()
{
    for (const Command& command : Commands()) {
        QAction* action = actions_.at(command.id);
        action->setEnabled(command.enabled(context_.state));
        if (command.checked)
            action->setChecked(command.checked(context_.state));
    }
}

void CommandActions::trigger(CommandId id)
{
    const Command& command = FindCommand(id);
    if (command.run) {
        CommandOutcome result = RunCommand(context_, id);
        refresh();
        emit outcome(result);
    } else if (command.enabled(context_.state)) {
        emit shellCommand(id);
    }
    refresh();
}

std::optional<CommandId> PaneKey(const QEvent& event, KeyScope scope)
{
    if (event.type() != QEvent::KeyPress)
        return std::nullopt;
    const QKeySequence pressed(static_cast<const QKeyEvent&>(event).keyCombination());
    for (const Command& command : Commands())
        if (command.keyScope == scope)
            for (const char* key : command.keys)
                if (key && QKeySequence::fromString(QLatin1String(key), QKeySequence::PortableText) == pressed)
                    return command.id;
    return std::nullopt;
}
