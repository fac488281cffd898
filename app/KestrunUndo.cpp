// Undo and redo: the option menu's last entries and their keys, wherever the focus is.
#include "Kestrun.h"

#include "Texts.h"
#include "TuningModel.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

void Kestrun::buildUndoEntries()
{
    UndoAct = OptionMenu->addAction(language_.text(Txt::MenuUndo));
    UndoAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    RedoAct = OptionMenu->addAction(language_.text(Txt::MenuRedo));
    RedoAct->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction *a : {UndoAct, RedoAct}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);  // the keys work while the menu is closed
    }
    connect(UndoAct, &QAction::triggered, this, [this] { model_.undo(); });
    connect(RedoAct, &QAction::triggered, this, [this] { model_.redo(); });
}

// A value field keeps its own text undo only while it holds typing that was not entered yet; otherwise
// its undo and redo keys (which the field claims before any shortcut) run the window's history.
bool Kestrun::runHistoryKey(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress) return false;
    QLineEdit *e = valueEdit(watched);
    if (!e || e->isModified()) return false;
    auto *k = static_cast<QKeyEvent *>(event);
    const QKeySequence typed(int(k->modifiers()) | k->key());
    for (QAction *a : {UndoAct, RedoAct})
        for (const QKeySequence &s : a->shortcuts())
            if (s == typed) {
                a->trigger();
                return true;
            }
    return false;
}
